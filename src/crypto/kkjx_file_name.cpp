#include "crypto/kkjx_file_name.h"

#include <array>
#include <cctype>
#include <string_view>

namespace yz {

namespace {

bool IsLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

bool IsForbiddenByte(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F ||
           std::string_view("\\/:*?\"<>|").find(static_cast<char>(byte)) != std::string_view::npos;
}

// The system takes the part before the first dot, without trailing blanks, as the device.
bool IsReservedDeviceName(const Text& name) {
    Text base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    for (char& c : base) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    static constexpr std::array<std::string_view, 4> kDevices{"CON", "PRN", "AUX", "NUL"};
    for (const std::string_view device : kDevices) {
        if (base == device) {
            return true;
        }
    }
    const bool numbered = base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT"));
    return numbered && base[3] >= '1' && base[3] <= '9';
}

}  // namespace

bool IsAcceptableKkjxName(const Text& name) {
    if (name.empty() || name.back() == '.' || name.back() == ' ') {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (IsLeadByte(byte) && i + 1 < name.size()) {
            ++i;  // the trail byte is part of the character
            continue;
        }
        if (IsForbiddenByte(byte)) {
            return false;
        }
    }
    return !IsReservedDeviceName(name);
}

}  // namespace yz
