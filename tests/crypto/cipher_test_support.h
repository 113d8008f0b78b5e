#pragma once

// Helpers of the crypto tests.

#include <string_view>

#include "runtime/types.h"

namespace yz::test {

// Bytes written as hex: "01 02 ff" or "0102ff"; spaces are skipped.
inline Bytes FromHex(std::string_view hex) {
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        return (c | 0x20) - 'a' + 10;
    };
    Bytes out;
    int high = -1;
    for (char c : hex) {
        if (c == ' ') {
            continue;
        }
        if (high < 0) {
            high = nibble(c);
        } else {
            out.push_back(static_cast<std::uint8_t>(high * 16 + nibble(c)));
            high = -1;
        }
    }
    return out;
}

// Our block cipher under K is standard DES under K with every byte bit-reversed.
inline std::uint8_t ReverseBits(std::uint8_t byte) {
    std::uint8_t out = 0;
    for (int bit = 0; bit < 8; ++bit) {
        out = static_cast<std::uint8_t>((out << 1) | ((byte >> bit) & 1));
    }
    return out;
}

}  // namespace yz::test
