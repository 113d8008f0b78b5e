#include "runtime/files.h"

#include <windows.h>

#include <mutex>
#include <vector>

#include "runtime/atomic_write.h"
#include "runtime/files_platform.h"
#include "runtime/wide_win32.h"

// <windows.h> maps these names to their W forms; ours are the functions of files.h.
#undef SetFileAttributes
#undef GetFileAttributes

namespace yz {

namespace {

HANDLE HandleOf(const TempFile& temp) {
    return reinterpret_cast<HANDLE>(temp.handle);
}

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

class Win32ReplaceOps final : public FileReplaceOps {
  public:
    bool CheckTarget(const std::filesystem::path& target) override {
        const DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return IsMissing(GetLastError());
        }
        return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
    }

    bool CreateTemp(const std::filesystem::path& target, TempFile& temp) override {
        // The replacement keeps the target's hidden and system bits.
        DWORD attributes = GetFileAttributesW(target.c_str());
        attributes = attributes == INVALID_FILE_ATTRIBUTES
                         ? FILE_ATTRIBUTE_NORMAL
                         : attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        if (attributes == 0) {
            attributes = FILE_ATTRIBUTE_NORMAL;
        }
        const std::uint64_t pid = GetCurrentProcessId();
        const std::uint64_t ticks = GetTickCount64();
        for (std::uint64_t attempt = 0; attempt < 16; ++attempt) {
            const std::filesystem::path candidate =
                TempPathBeside(target, (pid << 32) ^ ((ticks + attempt) & 0xFFFFFFFF));
            const HANDLE handle =
                CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
            if (handle == INVALID_HANDLE_VALUE) {
                if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) {
                    continue;
                }
                return false;
            }
            temp.path = candidate;
            temp.handle = reinterpret_cast<std::intptr_t>(handle);
            return true;
        }
        return false;
    }

    bool Write(const TempFile& temp, ByteView bytes) override {
        const std::uint8_t* data = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const DWORD chunk = static_cast<DWORD>(left < (1u << 30) ? left : (1u << 30));
            DWORD written = 0;
            if (!WriteFile(HandleOf(temp), data, chunk, &written, nullptr) || written != chunk) {
                return false;
            }
            data += written;
            left -= written;
        }
        return true;
    }

    bool Flush(const TempFile& temp) override { return FlushFileBuffers(HandleOf(temp)) != 0; }

    bool Close(TempFile& temp) override {
        const bool closed = CloseHandle(HandleOf(temp)) != 0;
        temp.handle = -1;
        return closed;
    }

    bool Rename(const TempFile& temp, const std::filesystem::path& target) override {
        // Windows refuses to move over a read-only file, Wine does not: checked here as well as
        // before the temporary file was written, since the target may have changed since.
        const DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return false;
        }
        // One MoveFileEx: the name always refers to the old file or the new one. ReplaceFile is
        // not used; where it is emulated by two renames the target is missing for a moment.
        // A reader or a scanner holding the target briefly makes the move fail with a sharing
        // violation, which is worth a few short retries.
        for (int attempt = 0;; ++attempt) {
            if (MoveFileExW(temp.path.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                return true;
            }
            const DWORD error = GetLastError();
            if (attempt >= 4 || (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)) {
                return false;
            }
            Sleep(20);
        }
    }

    bool Remove(const std::filesystem::path& path) override {
        return DeleteFileW(path.c_str()) != 0 || GetLastError() == ERROR_FILE_NOT_FOUND;
    }
};

struct OpenFileTable {
    std::mutex mutex;
    std::vector<HANDLE> handles;
};

OpenFileTable& OpenFiles() {
    static OpenFileTable table;
    return table;
}

}  // namespace

FileReplaceOps& PlatformReplaceOps() {
    static Win32ReplaceOps ops;
    return ops;
}

std::filesystem::path NativePath(const Text& path) {
    return std::filesystem::path(WideFromGbk(path));
}

bool MakeDirectory(const wchar_t* path) noexcept {
    return CreateDirectoryW(path, nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

NewFileOutcome WriteNewFile(const wchar_t* path, std::string_view bytes) noexcept {
    const HANDLE handle = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NewFileOutcome::kNameTaken
                                                                           : NewFileOutcome::kFailed;
    }
    TempFile file;
    file.handle = reinterpret_cast<std::intptr_t>(handle);
    Win32ReplaceOps ops;
    bool ok = ops.Write(file, ByteView(bytes)) && ops.Flush(file);
    ok = ops.Close(file) && ok;
    if (!ok) {
        DeleteFileW(path);
        return NewFileOutcome::kFailed;
    }
    return NewFileOutcome::kWritten;
}

Text ExecutableDirectory() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    const std::size_t slash = buffer.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
        return {};
    }
    buffer.resize(slash);
    return GbkFromWide(buffer);
}

bool FileExists(const Text& path) {
    if (path.empty()) {
        return false;
    }
    const std::wstring native = NativePath(path).wstring();
    if (native.find_first_of(L"*?") == std::wstring::npos) {
        // Also answers for a directory written with a trailing backslash and for a drive root,
        // which FindFirstFile does not take.
        return GetFileAttributesW(native.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(native.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return true;
}

std::optional<Bytes> TryReadFileBytes(const Text& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    const HANDLE file = CreateFileW(NativePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (IsMissing(GetLastError())) {
            return Bytes();
        }
        return std::nullopt;
    }
    std::optional<Bytes> content;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart >= 0) {
        content.emplace();
        content->reserve(static_cast<std::size_t>(size.QuadPart));
        std::uint8_t buffer[65536];
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
                content.reset();
                break;
            }
            if (got == 0) {
                break;
            }
            content->insert(content->end(), buffer, buffer + got);
        }
    }
    CloseHandle(file);
    return content;
}

int OpenFile(const Text& path, FileSharing sharing) {
    if (path.empty()) {
        return 0;
    }
    const bool exclusive = sharing == FileSharing::kExclusive;
    const DWORD access = exclusive ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    const DWORD share = exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE file =
        CreateFileW(NativePath(path).c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    OpenFileTable& table = OpenFiles();
    std::lock_guard<std::mutex> lock(table.mutex);
    table.handles.push_back(file);
    return static_cast<int>(table.handles.size());
}

bool SetFileAttributes(const Text& path, std::uint32_t attributes) {
    attributes &= kAttributeMask;
    if (path.empty()) {
        return false;
    }
    return SetFileAttributesW(NativePath(path).c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes) != 0;
}

std::int64_t GetFileAttributes(const Text& path) {
    if (path.empty()) {
        return -1;
    }
    const DWORD attributes = GetFileAttributesW(NativePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return -1;
    }
    return attributes & kAttributeMask;
}

}  // namespace yz
