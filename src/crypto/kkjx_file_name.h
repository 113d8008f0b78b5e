#pragma once

#include "runtime/types.h"

namespace yz {

// Whether `name` (as typed, without directory and extension) can become a file in the program
// directory: no \ / : * ? " < > | or control byte, no trailing dot or space, not a reserved
// device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9), with or without an extension. A GBK trail
// byte that equals one of those characters belongs to its Chinese character and is allowed.
bool IsAcceptableKkjxName(const Text& name);

}  // namespace yz
