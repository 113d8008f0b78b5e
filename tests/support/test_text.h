#pragma once

// Failure output for GBK texts and byte arrays: texts print as UTF-8 (and hex), bytes as hex.

#include <string>

#include "runtime/types.h"

namespace yz::test {

std::string Hex(ByteView bytes);

// "UTF-8 text" [hex], for an assertion message.
std::string Show(const Text& text);

}  // namespace yz::test
