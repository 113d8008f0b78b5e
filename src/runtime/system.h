#pragma once

// Facts about the computer the program runs on.

#include <cstdint>

namespace yz {

// A signed 32-bit number derived from the identification data of the computer's first disk,
// stable per computer; 0 when no method can read it.
std::int32_t DiskFeatureNumber();

}  // namespace yz
