#include "runtime/files.h"

#include <cstdio>
#include <mutex>

#include "runtime/atomic_write.h"
#include "runtime/files_platform.h"

namespace yz {

namespace {

struct DirectoryOverride {
    std::mutex mutex;
    Text directory;
};

DirectoryOverride& Override() {
    static DirectoryOverride instance;
    return instance;
}

}  // namespace

Text ProgramDirectory() {
    {
        DirectoryOverride& state = Override();
        std::lock_guard<std::mutex> lock(state.mutex);
        if (!state.directory.empty()) {
            return state.directory;
        }
    }
    return ExecutableDirectory();
}

void SetProgramDirectory(const Text& directory) {
    DirectoryOverride& state = Override();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.directory = directory;
}

namespace {

// Whether a file name has the form TempPathBeside gives: a name, ".tmp-", 1 to 16 hex digits.
template <typename Name>
bool IsTemporaryName(const Name& name) {
    using Char = typename Name::value_type;
    const Char marker[] = {'.', 't', 'm', 'p', '-', 0};
    const std::size_t at = name.rfind(marker);
    if (at == Name::npos || at == 0) {
        return false;
    }
    const std::size_t digits = name.size() - at - 5;
    if (digits == 0 || digits > 16) {
        return false;
    }
    for (std::size_t i = at + 5; i < name.size(); ++i) {
        const Char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

}  // namespace

int RemoveStaleTemporaryFiles(const Text& directory) {
    int removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(NativePath(directory), error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        if (it->is_regular_file(ignored) && IsTemporaryName(it->path().filename().native()) &&
            std::filesystem::remove(it->path(), ignored)) {
            ++removed;
        }
    }
    return removed;
}

std::optional<Bytes> FileReplaceOps::ReadTarget(const Text& path) {
    return TryReadFileBytes(path);
}

Bytes ReadFileBytes(const Text& path) {
    std::optional<Bytes> content = TryReadFileBytes(path);
    return content ? std::move(*content) : Bytes();
}

std::filesystem::path TempPathBeside(const std::filesystem::path& target, std::uint64_t tag) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp-%llx", static_cast<unsigned long long>(tag));
    std::filesystem::path temp = target;
    temp += suffix;
    return temp;
}

bool WriteFileBytesWith(FileReplaceOps& ops, const Text& path, std::initializer_list<ByteView> parts) {
    if (path.empty()) {
        return false;
    }
    const std::filesystem::path target = NativePath(path);
    if (!ops.CheckTarget(target)) {
        return false;
    }
    TempFile temp;
    if (!ops.CreateTemp(target, temp)) {
        return false;
    }
    bool ok = true;
    for (const ByteView& part : parts) {
        if (!part.empty() && !ops.Write(temp, part)) {
            ok = false;
            break;
        }
    }
    ok = ok && ops.Flush(temp);
    // Close runs after a failed write as well: Windows cannot delete a file that is still open.
    const bool closed = ops.Close(temp);
    ok = ok && closed && ops.Rename(temp, target);
    if (!ok) {
        ops.Remove(temp.path);
    }
    return ok;
}

bool WriteFileBytes(const Text& path, std::initializer_list<ByteView> parts) {
    return WriteFileBytesWith(PlatformReplaceOps(), path, parts);
}

}  // namespace yz
