#include "app/single_instance_lock.h"

#include "runtime/files.h"

namespace yz {

LockOutcome TakeSingleInstanceLock(const Text& path) {
    if (FileExists(path)) {
        return OpenFile(path, FileSharing::kExclusive) != 0 ? LockOutcome::kAcquired : LockOutcome::kRefused;
    }
    const Bytes one_zero_byte{0x00};
    WriteFileBytes(path, {one_zero_byte});
    SetFileAttributes(path, kAttributeHidden | kAttributeArchive);
    // When the file cannot be made (drive C not writable), the program runs without a lock.
    return OpenFile(path, FileSharing::kExclusive) != 0 ? LockOutcome::kAcquired : LockOutcome::kUnlocked;
}

}  // namespace yz
