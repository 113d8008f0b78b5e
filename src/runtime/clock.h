#pragma once

// Local date and time, with a replaceable source so that tests and the headless desktop can run
// on a clock of their own.

#include <functional>

#include "runtime/types.h"

namespace yz {

// The current local date-time, from the installed source (the system clock by default).
DateTime Now();

// Installs a source of the local time; an empty function restores the system clock.
void SetLocalTimeSource(std::function<DateTime()> source);

int MonthOf(const DateTime& value);
int DayOf(const DateTime& value);
int HourOf(const DateTime& value);

}  // namespace yz
