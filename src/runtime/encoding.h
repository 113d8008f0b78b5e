#pragma once

// GBK <-> UTF-8 at the edges of the program: native paths on Linux, test output, the server.
// Conversion never fails: a byte sequence that has no counterpart becomes '?'.

#include "runtime/types.h"

namespace yz {

std::string Utf8FromGbk(std::string_view gbk);
Text GbkFromUtf8(std::string_view utf8);

}  // namespace yz
