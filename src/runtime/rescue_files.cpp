#include "runtime/rescue_files.h"

#include <cstdio>

#include "runtime/files.h"
#include "runtime/files_platform.h"

namespace yz {

namespace {

// Enough for many copies within one second; after that a copy fails rather than replace one.
constexpr int kNamesPerSecond = 99;

}  // namespace

RescueFiles::RescueFiles(const Text& folder) : folder_(folder), native_(NativePath(folder).native()) {
    folder_length_ = native_.size();
    native_.reserve(folder_length_ + 1 + sizeof name_);
}

void RescueFiles::SetName(const char* name) noexcept {
    native_.resize(folder_length_);
    native_.push_back(static_cast<NativeChar>(std::filesystem::path::preferred_separator));
    for (const char* c = name; *c != '\0'; ++c) {
        native_.push_back(static_cast<NativeChar>(*c));
    }
}

bool RescueFiles::WriteWithoutAllocating(std::string_view bytes, const DateTime& at) noexcept {
    native_.resize(folder_length_);
    if (!MakeDirectory(native_.c_str())) {
        return false;
    }
    for (int number = 1; number <= kNamesPerSecond; ++number) {
        const int length = std::snprintf(name_, sizeof name_, "%04d%02d%02d-%02d%02d%02d", at.year, at.month, at.day,
                                         at.hour, at.minute, at.second);
        if (length < 0 || static_cast<std::size_t>(length) + 8 > sizeof name_) {
            return false;
        }
        char* const tail = name_ + length;
        const std::size_t room = sizeof name_ - static_cast<std::size_t>(length);
        if (number == 1) {
            std::snprintf(tail, room, ".txt");
        } else {
            std::snprintf(tail, room, "-%d.txt", number);
        }
        SetName(name_);
        switch (WriteNewFile(native_.c_str(), bytes)) {
            case NewFileOutcome::kWritten:
                return true;
            case NewFileOutcome::kFailed:
                return false;
            case NewFileOutcome::kNameTaken:
                break;
        }
    }
    return false;
}

Text RescueFiles::Write(std::string_view bytes, const DateTime& at) {
    if (!WriteWithoutAllocating(bytes, at)) {
        return {};
    }
    return folder_ + "\\" + name_;
}

}  // namespace yz
