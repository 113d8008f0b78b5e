#pragma once

// Conversions between the value kinds, byte-exact as the program's texts rely on them.

#include <concepts>
#include <cstdint>
#include <initializer_list>

#include "runtime/types.h"

namespace yz {

// Integers: decimal with a minus sign when negative.
Text ToText(std::int64_t value);
template <std::integral T>
requires(!std::same_as<T, bool>) Text ToText(T value) {
    return ToText(static_cast<std::int64_t>(value));
}
// printf "%.13g".
Text ToText(double value);
// "真" or "假".
Text ToText(bool value);
// "%d年%d月%d日", then "%d时%d分%d秒" when the seconds are not 0, else "%d时%d分" when the minutes
// are not 0, else "%d时" when the hour is not 0, else nothing.
Text ToText(const DateTime& value);
// The bytes up to the first zero byte (all of them when there is none).
Text ToText(const Bytes& value);
Text ToText(const Text& value);
Text ToText(const char* value);

// Text: optional leading white space, optional sign, decimal digits up to the first other
// character; 0 without digits; a value beyond the 32-bit range is clamped to it. Double:
// truncated toward zero (clamped likewise, NaN gives 0). Bool: 1 or 0.
std::int32_t ToInteger(const Text& value);
std::int32_t ToInteger(const char* value);
std::int32_t ToInteger(double value);
std::int32_t ToInteger(bool value);

// Text: the longest leading decimal number (sign, digits, decimal point, exponent); 0 when the
// text does not begin with one.
double ToNumber(const Text& value);
double ToNumber(std::int64_t value);

// Text: its bytes without a terminating zero; integer: 4 bytes little-endian; double: 8 bytes.
Bytes ToBytes(const Text& value);
Bytes ToBytes(std::int32_t value);
Bytes ToBytes(double value);

std::int32_t BitAnd(std::initializer_list<std::int32_t> values);
std::int32_t BitOr(std::initializer_list<std::int32_t> values);

}  // namespace yz
