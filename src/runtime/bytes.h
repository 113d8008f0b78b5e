#pragma once

// Byte array services. Counts are clamped, never an error.

#include "runtime/types.h"

namespace yz {

int BytesLength(const Bytes& bytes);

// The first / last n bytes, n clamped to 0 .. length.
Bytes BytesLeft(const Bytes& bytes, int n);
Bytes BytesRight(const Bytes& bytes, int n);

// n zero bytes; empty when n <= 0.
Bytes BlankBytes(int n);

}  // namespace yz
