#pragma once

// A fresh directory for one test, removed with everything in it afterwards. Its GBK path (with
// "\" between names, as the program writes paths) is what the services take.

#include <filesystem>

#include "runtime/types.h"

namespace yz::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory as a GBK path without trailing backslash.
    const Text& path() const { return path_; }
    // path() + "\" + name.
    Text File(const Text& name) const;
    const std::filesystem::path& native() const { return native_; }

  private:
    std::filesystem::path native_;
    Text path_;
};

}  // namespace yz::test
