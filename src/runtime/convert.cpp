#include "runtime/convert.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace yz {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::int32_t ClampToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);  // truncates toward zero
}

// Length of the leading decimal number of `text` (sign, digits, point, exponent), 0 for none.
std::size_t LeadingNumberLength(const Text& text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    return i;
}

}  // namespace

Text ToText(std::int64_t value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value));
    return buffer;
}

Text ToText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.13g", value);
    return buffer;
}

Text ToText(bool value) {
    return value ? "真" : "假";
}

Text ToText(const DateTime& value) {
    char buffer[128];
    int used = std::snprintf(buffer, sizeof buffer, "%d年%d月%d日", value.year, value.month, value.day);
    const std::size_t at = static_cast<std::size_t>(used);
    if (value.second != 0) {
        std::snprintf(buffer + at, sizeof buffer - at, "%d时%d分%d秒", value.hour, value.minute, value.second);
    } else if (value.minute != 0) {
        std::snprintf(buffer + at, sizeof buffer - at, "%d时%d分", value.hour, value.minute);
    } else if (value.hour != 0) {
        std::snprintf(buffer + at, sizeof buffer - at, "%d时", value.hour);
    }
    return buffer;
}

Text ToText(const Bytes& value) {
    const auto* begin = reinterpret_cast<const char*>(value.data());
    const void* zero = value.empty() ? nullptr : std::memchr(begin, 0, value.size());
    const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - begin) : value.size();
    return Text(begin, length);
}

Text ToText(const Text& value) {
    return value;
}

Text ToText(const char* value) {
    return value ? Text(value) : Text();
}

std::int32_t ToInteger(const Text& value) {
    std::size_t i = 0;
    while (i < value.size() && IsWhiteSpace(value[i])) {
        ++i;
    }
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < value.size() && IsDigit(value[i]); ++i) {
        magnitude = std::min<std::int64_t>(magnitude * 10 + (value[i] - '0'), kLimit);
    }
    const std::int64_t signed_value = negative ? -magnitude : magnitude;
    if (signed_value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(signed_value);
}

std::int32_t ToInteger(const char* value) {
    return ToInteger(ToText(value));
}

std::int32_t ToInteger(double value) {
    return ClampToInt32(value);
}

std::int32_t ToInteger(bool value) {
    return value ? 1 : 0;
}

double ToNumber(const Text& value) {
    const std::size_t length = LeadingNumberLength(value);
    if (length == 0) {
        return 0.0;
    }
    const std::string number = value.substr(0, length);
    return std::strtod(number.c_str(), nullptr);
}

double ToNumber(std::int64_t value) {
    return static_cast<double>(value);
}

Bytes ToBytes(const Text& value) {
    return Bytes(value.begin(), value.end());
}

Bytes ToBytes(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return Bytes{static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                 static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

Bytes ToBytes(double value) {
    Bytes out(sizeof value);
    std::memcpy(out.data(), &value, sizeof value);
    return out;
}

std::int32_t BitAnd(std::initializer_list<std::int32_t> values) {
    std::uint32_t result = 0xFFFFFFFFu;
    for (const std::int32_t v : values) {
        result &= static_cast<std::uint32_t>(v);
    }
    return values.size() == 0 ? 0 : static_cast<std::int32_t>(result);
}

std::int32_t BitOr(std::initializer_list<std::int32_t> values) {
    std::uint32_t result = 0;
    for (const std::int32_t v : values) {
        result |= static_cast<std::uint32_t>(v);
    }
    return static_cast<std::int32_t>(result);
}

}  // namespace yz
