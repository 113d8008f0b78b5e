#include "runtime/files.h"

#include <fcntl.h>
#include <glob.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <vector>

#include "runtime/atomic_write.h"
#include "runtime/encoding.h"
#include "runtime/files_platform.h"

namespace yz {

namespace {

// Where the hidden, system and archive bits live beside a file: the extended attribute Wine
// keeps them in, as text "0x" followed by the attribute bits in hex.
constexpr char kDosAttributeName[] = "user.DOSATTRIB";
constexpr std::uint32_t kStoredAttributes = kAttributeHidden | kAttributeSystem | kAttributeArchive;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (written == 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Makes a rename durable: the directory entry is on disk only once the directory is synced.
void SyncDirectoryOf(const std::filesystem::path& file) {
    std::filesystem::path directory = file.parent_path();
    if (directory.empty()) {
        directory = ".";
    }
    const int fd = OpenRetrying(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

class PosixReplaceOps final : public FileReplaceOps {
  public:
    bool CheckTarget(const std::filesystem::path& target) override {
        struct stat info;
        if (::stat(target.c_str(), &info) != 0) {
            return errno == ENOENT;
        }
        // Checked on the mode bits, not with access(2): root may write anything, but a file
        // marked read-only stays unchanged whoever runs the program.
        return S_ISREG(info.st_mode) && (info.st_mode & kWriteBits) != 0;
    }

    bool CreateTemp(const std::filesystem::path& target, TempFile& temp) override {
        struct stat info;
        const bool keep_mode = ::stat(target.c_str(), &info) == 0;
        const std::uint64_t pid = static_cast<std::uint64_t>(::getpid());
        struct timespec now {};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        const auto ticks = static_cast<std::uint64_t>(now.tv_nsec) ^ static_cast<std::uint64_t>(now.tv_sec);
        for (std::uint64_t attempt = 0; attempt < 16; ++attempt) {
            const std::filesystem::path candidate =
                TempPathBeside(target, (pid << 32) ^ ((ticks + attempt) & 0xFFFFFFFF));
            // A new file gets 0666 less the umask, as any file this program creates.
            const int fd = OpenRetrying(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0) {
                if (errno == EEXIST) {
                    continue;
                }
                return false;
            }
            if (keep_mode) {
                // Best effort: some file systems have no permission bits to set.
                ::fchmod(fd, info.st_mode & 07777);
            }
            temp.path = candidate;
            temp.handle = fd;
            return true;
        }
        return false;
    }

    bool Write(const TempFile& temp, ByteView bytes) override {
        return WriteAll(static_cast<int>(temp.handle), bytes.data(), bytes.size());
    }

    bool Flush(const TempFile& temp) override {
        int result;
        do {
            result = ::fsync(static_cast<int>(temp.handle));
        } while (result != 0 && errno == EINTR);
        return result == 0;
    }

    bool Close(TempFile& temp) override {
        // Linux releases the descriptor even when close reports an error, so it is never retried.
        const int result = ::close(static_cast<int>(temp.handle));
        temp.handle = -1;
        return result == 0;
    }

    bool Rename(const TempFile& temp, const std::filesystem::path& target) override {
        // Checked again: the target may have been made read-only while the temporary was written.
        struct stat info;
        if (::stat(target.c_str(), &info) == 0 && (info.st_mode & kWriteBits) == 0) {
            return false;
        }
        if (::rename(temp.path.c_str(), target.c_str()) != 0) {
            return false;
        }
        SyncDirectoryOf(target);
        return true;
    }

    bool Remove(const std::filesystem::path& path) override { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }
};

struct OpenFileTable {
    std::mutex mutex;
    std::vector<int> descriptors;
};

OpenFileTable& OpenFiles() {
    static OpenFileTable table;
    return table;
}

bool HasWildcard(const std::string& path) {
    return path.find_first_of("*?") != std::string::npos;
}

// glob(3) also treats "[" as special; a Windows path has only "*" and "?".
std::string EscapeForGlob(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '[' || c == ']' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

}  // namespace

FileReplaceOps& PlatformReplaceOps() {
    static PosixReplaceOps ops;
    return ops;
}

std::filesystem::path NativePath(const Text& path) {
    // Convert first: the second byte of a GBK character may be 0x5C, the backslash, and must
    // not be taken for a separator.
    std::string utf8 = Utf8FromGbk(path);
    for (char& c : utf8) {
        if (c == '\\') {
            c = '/';
        }
    }
    return std::filesystem::path(utf8);
}

bool MakeDirectory(const char* path) noexcept {
    return ::mkdir(path, 0777) == 0 || errno == EEXIST;
}

NewFileOutcome WriteNewFile(const char* path, std::string_view bytes) noexcept {
    const int fd = OpenRetrying(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno == EEXIST ? NewFileOutcome::kNameTaken : NewFileOutcome::kFailed;
    }
    bool ok = WriteAll(fd, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(path);
        return NewFileOutcome::kFailed;
    }
    return NewFileOutcome::kWritten;
}

Text ExecutableDirectory() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    std::string utf8 = program.parent_path().string();
    for (char& c : utf8) {
        if (c == '/') {
            c = '\\';
        }
    }
    return GbkFromUtf8(utf8);
}

bool FileExists(const Text& path) {
    if (path.empty()) {
        return false;
    }
    std::string native = NativePath(path).string();
    while (native.size() > 1 && native.back() == '/') {
        native.pop_back();
    }
    if (!HasWildcard(native)) {
        struct stat info;
        return ::stat(native.c_str(), &info) == 0;
    }
    glob_t found{};
    // GLOB_PERIOD: like Windows, "*" also matches names that begin with a dot.
    const int result = ::glob(EscapeForGlob(native).c_str(), GLOB_NOSORT | GLOB_PERIOD, nullptr, &found);
    const bool any = result == 0 && found.gl_pathc > 0;
    ::globfree(&found);
    return any;
}

std::optional<Bytes> TryReadFileBytes(const Text& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    const int fd = OpenRetrying(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return Bytes();
        }
        return std::nullopt;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    Bytes content;
    content.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        content.insert(content.end(), buffer, buffer + got);
    }
    ::close(fd);
    return content;
}

int OpenFile(const Text& path, FileSharing sharing) {
    if (path.empty()) {
        return 0;
    }
    const bool exclusive = sharing == FileSharing::kExclusive;
    const int fd = OpenRetrying(NativePath(path).c_str(), (exclusive ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    struct stat info;
    // flock is held per open file description, so a second open in this process conflicts with
    // the first just as one in another process does. A shared open takes a shared lock, so it and
    // an exclusive open exclude each other in either order, as the Windows sharing modes do.
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode) ||
        ::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        ::close(fd);
        return 0;
    }
    OpenFileTable& table = OpenFiles();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.descriptors.push_back(fd);
    return static_cast<int>(table.descriptors.size());
}

bool SetFileAttributes(const Text& path, std::uint32_t attributes) {
    attributes &= kAttributeMask;
    if (path.empty()) {
        return false;
    }
    const std::filesystem::path native = NativePath(path);
    struct stat info;
    if (::stat(native.c_str(), &info) != 0) {
        return false;
    }
    mode_t mode = info.st_mode & 07777;
    if ((attributes & kAttributeReadOnly) != 0) {
        mode &= ~kWriteBits;
    } else if ((mode & kWriteBits) == 0) {
        mode |= S_IWUSR;
    }
    char stored[16];
    const int length = std::snprintf(stored, sizeof stored, "0x%x", static_cast<unsigned>(attributes));
    const auto set_mode = [&] { return mode == (info.st_mode & 07777) || ::chmod(native.c_str(), mode) == 0; };
    const auto set_stored = [&] {
        return ::setxattr(native.c_str(), kDosAttributeName, stored, static_cast<std::size_t>(length), 0) == 0;
    };
    // A user attribute can only be written while the file is writable: make it writable first,
    // or read-only last.
    if ((attributes & kAttributeReadOnly) != 0) {
        return set_stored() && set_mode();
    }
    return set_mode() && set_stored();
}

std::int64_t GetFileAttributes(const Text& path) {
    if (path.empty()) {
        return -1;
    }
    const std::filesystem::path native = NativePath(path);
    struct stat info;
    if (::stat(native.c_str(), &info) != 0) {
        return -1;
    }
    std::uint32_t attributes = (info.st_mode & kWriteBits) == 0 ? kAttributeReadOnly : 0;
    char stored[32];
    const ssize_t length = ::getxattr(native.c_str(), kDosAttributeName, stored, sizeof stored - 1);
    if (length > 0) {
        stored[length] = '\0';
        attributes |= static_cast<std::uint32_t>(std::strtoul(stored, nullptr, 16)) & kStoredAttributes;
    } else if (S_ISREG(info.st_mode)) {
        // A file never given attributes carries the archive bit, as a new file on Windows does.
        attributes |= kAttributeArchive;
    }
    return attributes;
}

}  // namespace yz
