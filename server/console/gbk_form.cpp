#include "gbk_form.h"

#include <iconv.h>

#include "runtime/encoding.h"

namespace yz::console {

namespace {

// Bytes in the UTF-8 character that starts with `lead`; 0 for a byte no character starts with.
std::size_t Utf8Length(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

}  // namespace

std::optional<std::string> StrictGbkFromUtf8(std::string_view utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    // No UTF-8 character becomes more than 2 GBK bytes, and none is shorter than its GBK form.
    std::string out(utf8.size() + 1, '\0');
    char* in_ptr = const_cast<char*>(utf8.data());
    std::size_t in_left = utf8.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    const std::size_t result = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1) || in_left != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - out_left);
    return out;
}

std::string DisplayUtf8(std::string_view gbk) {
    return Utf8FromGbk(gbk);
}

std::string FirstCharacterOutsideGbk(std::string_view utf8) {
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = Utf8Length(static_cast<unsigned char>(utf8[at]));
        if (length == 0 || at + length > utf8.size()) {
            return {};
        }
        const std::string_view character = utf8.substr(at, length);
        if (!StrictGbkFromUtf8(character)) {
            return std::string(character);
        }
        at += length;
    }
    return {};
}

}  // namespace yz::console
