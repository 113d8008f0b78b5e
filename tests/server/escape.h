#pragma once

// Query values escaped the way the program escapes them: "&", "=", "#", "%", "+", space and
// control bytes percent-encoded; everything else, GBK bytes, "~" and "|" included, raw.

#include <string>

namespace yz::test {

inline std::string Escape(const std::string& value) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '&' || c == '=' || c == '#' || c == '%' || c == '+' || c == ' ') {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0x0F];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

}  // namespace yz::test
