#pragma once

// Rescue files: copies of a text the program is about to lose, each a new plain file in one folder,
// named by the local date and time of the copy, "20261208-143000.txt", or "20261208-143000-2.txt"
// and so on when that name is taken, so one rescue never replaces another.

#include <filesystem>
#include <string_view>

#include "runtime/types.h"

namespace yz {

class RescueFiles {
  public:
    // `folder` is a GBK path; it is made when the first copy is written. Everything a copy needs
    // is allocated here, so a copy can still be written once memory has run out.
    explicit RescueFiles(const Text& folder);

    const Text& folder() const { return folder_; }

    // Writes the bytes into a new file of the folder; its GBK path, or empty when no file could be
    // made or written (then none is left behind).
    Text Write(std::string_view bytes, const DateTime& at);
    // The same without allocating anything; true when the copy is on disk.
    bool WriteWithoutAllocating(std::string_view bytes, const DateTime& at) noexcept;

  private:
    // Puts the folder and a name (ASCII) into `native_`, which has room for it.
    void SetName(const char* name) noexcept;

    Text folder_;
    std::filesystem::path::string_type native_;
    std::size_t folder_length_ = 0;
    char name_[48] = {};
};

}  // namespace yz
