#pragma once

// The single-instance lock: a one-byte file (0x00, hidden + archive) held open with exclusive
// sharing for the whole run. The file is never deleted; the end of the process releases it, so a
// start after a crash finds it free.

#include "runtime/types.h"

namespace yz {

enum class LockOutcome {
    kAcquired,  // this copy holds the lock
    kRefused,   // the file exists and cannot be opened exclusively: another copy runs
    kUnlocked,  // the file could not be created or opened: run without a lock
};

LockOutcome TakeSingleInstanceLock(const Text& path);

}  // namespace yz
