#pragma once

// Byte budgets on text held by wide controls. A wide edit control counts its limit in UTF-16
// units, but the program's limits are GBK bytes ("16 bytes" is 8 Chinese characters), so input is
// measured and cut in GBK before it reaches the control.

#include <string>
#include <string_view>

#include "runtime/types.h"

namespace yz {

// The length of the text once converted to GBK.
int GbkByteLength(std::wstring_view text);

// The longest prefix whose GBK form has at most max_bytes bytes; never splits a character or a
// surrogate pair.
std::wstring CutToGbkBytes(std::wstring_view text, int max_bytes);

}  // namespace yz
