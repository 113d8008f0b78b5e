#pragma once

// What each platform's files_*.cpp provides to the shared part in files.cpp.

#include "runtime/types.h"

namespace yz {

// The directory of the running program file as a GBK path without trailing backslash; empty
// when it cannot be found.
Text ExecutableDirectory();

}  // namespace yz
