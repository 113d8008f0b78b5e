#include "runtime/encoding.h"

#include <iconv.h>

#include <cerrno>

namespace yz {

namespace {

// Converts with iconv, replacing each byte that starts no valid sequence by '?'.
std::string Convert(const char* to, const char* from, std::string_view input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::string(input);
    }
    std::string out;
    out.resize(input.size() * 2 + 16);
    char* in_ptr = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    std::size_t used = 0;
    while (in_left > 0) {
        char* out_ptr = out.data() + used;
        std::size_t out_left = out.size() - used;
        const std::size_t result = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
        used = out.size() - out_left;
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else {  // EILSEQ or EINVAL: an unconvertible or truncated sequence
            if (used + 1 > out.size()) {
                out.resize(out.size() * 2);
            }
            out[used++] = '?';
            ++in_ptr;
            --in_left;
        }
    }
    iconv_close(cd);
    out.resize(used);
    return out;
}

}  // namespace

std::string Utf8FromGbk(std::string_view gbk) {
    return Convert("UTF-8", "GBK", gbk);
}

Text GbkFromUtf8(std::string_view utf8) {
    return Convert("GBK", "UTF-8", utf8);
}

}  // namespace yz
