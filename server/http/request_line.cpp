#include "server/http/request_line.h"

namespace yz::server {

std::string MendRequestLine(const std::string& line) {
    const auto target_start = line.find(' ');
    const auto target_end = line.rfind(' ');
    if (target_start == std::string::npos || target_end <= target_start) {
        return line;
    }
    const auto query = line.find('?', target_start);
    if (query == std::string::npos || query > target_end) {
        return line;
    }
    std::string mended = line.substr(0, query + 1);
    for (std::size_t i = query + 1; i < target_end; ++i) {
        if (line[i] == '?') {
            mended += "%3F";
        } else {
            mended += line[i];
        }
    }
    mended += line.substr(target_end);
    return mended;
}

}  // namespace yz::server
