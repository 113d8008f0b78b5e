#pragma once

// Whole-file services on GBK paths. A path is a GBK text in the program's own form ("\" between
// names); NativePath turns it into the platform's form (UTF-16 on Windows; UTF-8 with "/" on
// Linux), so a file named 砚舟文匣配置文件 carries that name on disk.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>

#include "runtime/types.h"

namespace yz {

std::filesystem::path NativePath(const Text& path);

// The directory that holds the program file, without a trailing backslash.
Text ProgramDirectory();
// Makes ProgramDirectory answer `directory` (tests and the headless desktop run on a temporary
// directory); an empty text restores the real one.
void SetProgramDirectory(const Text& directory);

// True when at least one entry matches the path (a directory or a wildcard match counts).
bool FileExists(const Text& path);

// The whole content, read while denying writers. Empty on an empty path, a missing file or any
// open or read failure (and for an empty file).
Bytes ReadFileBytes(const Text& path);
// The same read for a caller that must tell a missing file (empty bytes) from one that exists
// but cannot be read (nullopt), such as a writer that rewrites the file from its old content.
// Nullopt on an empty path.
std::optional<Bytes> TryReadFileBytes(const Text& path);

// Replaces the file with the parts, in order, in one step: the bytes go to a temporary file in
// the same directory, which is flushed to disk and then renamed over the target, so a crash or a
// full disk leaves the old content or the new one, never a mix. A read-only target is refused.
// False on an empty path or any failure (a short write included), and then no temporary file is
// left behind and the old content is untouched.
bool WriteFileBytes(const Text& path, std::initializer_list<ByteView> parts);

// Removes what WriteFileBytes leaves in `directory` when the process is killed in the middle of a
// write: regular files named like its temporary files, a name followed by ".tmp-" and 1 to 16
// lower-case hex digits. Only for a directory in which nothing else may be writing at the moment.
// The number of files removed.
int RemoveStaleTemporaryFiles(const Text& directory);

// Opens an existing file and keeps it open until the process ends. Exclusive sharing denies
// every other open of the file, in this process or another, while it is held. The result is a
// file number above 0, or 0 on failure.
enum class FileSharing { kShared, kExclusive };
int OpenFile(const Text& path, FileSharing sharing = FileSharing::kShared);

// File attribute bits as Windows has them; SetFileAttributes keeps only these.
inline constexpr std::uint32_t kAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kAttributeHidden = 0x02;
inline constexpr std::uint32_t kAttributeSystem = 0x04;
inline constexpr std::uint32_t kAttributeArchive = 0x20;
inline constexpr std::uint32_t kAttributeMask = 0x27;

// Sets the attributes masked with kAttributeMask; false on failure. On Linux read-only is the
// write permission bits and the other bits are kept beside the file as Wine keeps them.
bool SetFileAttributes(const Text& path, std::uint32_t attributes);
// The masked attributes, or -1 when the file cannot be examined.
std::int64_t GetFileAttributes(const Text& path);

}  // namespace yz
