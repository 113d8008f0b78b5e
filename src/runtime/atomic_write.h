#pragma once

// The seam under WriteFileBytes (and the configuration writer, which reads the file first). Each
// step of replacing a file is one call on a FileReplaceOps, so a test can wrap the platform's steps
// and make any one of them fail; WriteFileBytesWith owns the
// order of the steps and the clean-up after a failure, the platform files own only system calls.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>

#include "runtime/types.h"

namespace yz {

// A temporary file being written: its native path and the platform's open handle (a file
// descriptor on Linux, a HANDLE on Windows; -1 when closed).
struct TempFile {
    std::filesystem::path path;
    std::intptr_t handle = -1;
};

class FileReplaceOps {
  public:
    virtual ~FileReplaceOps() = default;

    // The target's content, for a writer that rewrites it from what it holds (TryReadFileBytes):
    // empty for a missing file, nullopt for one that exists but cannot be read.
    virtual std::optional<Bytes> ReadTarget(const Text& path);

    // False when the target exists but must not be replaced: it is read-only or not a regular
    // file. A missing target is fine (its directory is checked by CreateTemp).
    virtual bool CheckTarget(const std::filesystem::path& target) = 0;
    // Creates a new empty file under a unique name in the target's directory, open for writing.
    // When the target exists the new file takes its permission bits (its attributes on Windows),
    // so replacing a file never changes its mode.
    virtual bool CreateTemp(const std::filesystem::path& target, TempFile& temp) = 0;
    // Writes every byte; false on an error or a short write.
    virtual bool Write(const TempFile& temp, ByteView bytes) = 0;
    // Forces the written bytes to the disk.
    virtual bool Flush(const TempFile& temp) = 0;
    // Releases the handle, also when the result is false (a late write error reported on close).
    virtual bool Close(TempFile& temp) = 0;
    // Puts the closed temporary file in the target's place in one step, replacing it; refuses a
    // target that has become read-only since CheckTarget.
    virtual bool Rename(const TempFile& temp, const std::filesystem::path& target) = 0;
    // Deletes a file; true when it is gone.
    virtual bool Remove(const std::filesystem::path& path) = 0;
};

// The platform's steps; stateless.
FileReplaceOps& PlatformReplaceOps();

// WriteFileBytes with the steps of `ops`: CheckTarget, CreateTemp, Write for each non-empty part,
// Flush, Close, Rename; after a failure at any step, Close (when still open) and Remove.
bool WriteFileBytesWith(FileReplaceOps& ops, const Text& path, std::initializer_list<ByteView> parts);

// The name of the temporary file beside `target` for one attempt: the target's name followed by
// ".tmp-" and the tag in hex. CreateTemp varies the tag until the name is free.
std::filesystem::path TempPathBeside(const std::filesystem::path& target, std::uint64_t tag);

}  // namespace yz
