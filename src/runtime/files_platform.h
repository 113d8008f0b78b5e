#pragma once

// What each platform's files_*.cpp provides to the shared part in files.cpp and rescue_files.cpp.

#include <filesystem>
#include <string_view>

#include "runtime/types.h"

namespace yz {

// The directory of the running program file as a GBK path without trailing backslash; empty
// when it cannot be found.
Text ExecutableDirectory();

// The two below allocate nothing, so they still work once memory has run out.
using NativeChar = std::filesystem::path::value_type;

// Creates the directory unless something of that name exists; false when it could not be made.
bool MakeDirectory(const NativeChar* path) noexcept;

enum class NewFileOutcome { kWritten, kNameTaken, kFailed };
// Creates the file only when nothing has that name yet, writes every byte, forces them to the
// disk and closes it. After a failed write the file is removed again.
NewFileOutcome WriteNewFile(const NativeChar* path, std::string_view bytes) noexcept;

}  // namespace yz
