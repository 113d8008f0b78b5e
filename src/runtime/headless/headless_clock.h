#pragma once

// Calendar arithmetic for the headless desktop's local time, which is a base date-time the test
// sets plus the virtual milliseconds elapsed since.

#include <cstdint>

#include "runtime/types.h"

namespace yz {

// The date-time `milliseconds` later (earlier when negative), whole seconds only; the Gregorian
// calendar without leap seconds.
DateTime AddMilliseconds(const DateTime& start, std::int64_t milliseconds);

}  // namespace yz
