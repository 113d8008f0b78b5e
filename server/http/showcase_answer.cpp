#include "server/http/showcase_answer.h"

#include "runtime/text.h"

namespace yz::server {

namespace {

bool SameName(std::string_view name, const Text& lower) {
    return CompareText(Text(name), lower, false) == 0;
}

}  // namespace

bool IsPlainShowcaseRequest(std::string_view request) {
    constexpr std::string_view kLine = "GET /cxzp.asp HTTP/1.";
    if (request.substr(0, kLine.size()) != kLine) {
        return false;
    }
    const std::string_view version_end = request.substr(kLine.size(), 3);
    if (version_end != "0\r\n" && version_end != "1\r\n") {
        return false;
    }
    for (std::size_t at = kLine.size() + 3; at < request.size();) {
        const std::size_t end = request.find("\r\n", at);
        if (end == std::string_view::npos || end == at) {
            return end == at;  // the empty line ends the head
        }
        const std::string_view line = request.substr(at, end - at);
        const std::size_t colon = line.find(':');
        // Lines the library may read otherwise (bare line feeds, folded or nameless lines) go its way.
        if (colon == std::string_view::npos || line.find('\n') != std::string_view::npos || line[0] == ' ' ||
            line[0] == '\t') {
            return false;
        }
        const std::string_view name = line.substr(0, colon);
        if (SameName(name, "range") || SameName(name, "accept-encoding") || SameName(name, "expect")) {
            return false;
        }
        at = end + 2;
    }
    return false;
}

std::string ShowcaseAnswer(std::string_view body) {
    std::string answer = "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: " + std::to_string(body.size()) +
                         "\r\nContent-Type: text/plain; charset=GBK\r\nX-Content-Type-Options: nosniff\r\n\r\n";
    answer += body;
    return answer;
}

}  // namespace yz::server
