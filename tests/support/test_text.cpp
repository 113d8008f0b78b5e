#include "support/test_text.h"

#include "runtime/encoding.h"

namespace yz::test {

std::string Hex(ByteView bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            out += ' ';
        }
        out += kDigits[bytes.data()[i] >> 4];
        out += kDigits[bytes.data()[i] & 0x0F];
    }
    return out;
}

std::string Show(const Text& text) {
    // Built by appending: MinGW's GCC 12 reports a false -Wrestrict for "literal" + string.
    std::string out = "\"";
    out.append(Utf8FromGbk(text)).append("\" [").append(Hex(text)).append("]");
    return out;
}

}  // namespace yz::test
