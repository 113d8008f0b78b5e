#include "support/temp_dir.h"

#include <atomic>
#include <random>
#include <string>
#include <system_error>

#include "runtime/encoding.h"

namespace yz::test {

namespace {

std::filesystem::path UniqueDirectory() {
    static std::atomic<int> counter{0};
    static const unsigned stamp = std::random_device{}();
    std::error_code error;
    auto base = std::filesystem::temp_directory_path(error);
    if (error) {
        base = std::filesystem::current_path();
    }
    return base / ("yz-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
}

// Our paths use "\" between names on every platform; the native form is made by NativePath.
Text GbkPathOf(const std::filesystem::path& native) {
    std::string utf8 = native.generic_string();
    for (char& c : utf8) {
        if (c == '/') {
            c = '\\';
        }
    }
    return GbkFromUtf8(utf8);
}

}  // namespace

TempDir::TempDir() : native_(UniqueDirectory()) {
    std::filesystem::create_directories(native_);
    path_ = GbkPathOf(native_);
}

TempDir::~TempDir() {
    std::error_code error;
    std::filesystem::permissions(native_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(native_, error);
}

Text TempDir::File(const Text& name) const {
    return path_ + "\\" + name;
}

}  // namespace yz::test
