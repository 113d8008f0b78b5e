#include "runtime/file_dialog_names.h"

namespace yz {

namespace {

// Where the last name of `path` starts; a GBK trail byte 0x5C is no separator.
std::size_t LastNameStart(const Text& path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (byte >= 0x81 && byte <= 0xFE && i + 1 < path.size()) {
            ++i;
        } else if (byte == '\\' || byte == '/') {
            start = i + 1;
        }
    }
    return start;
}

}  // namespace

Text FileDialogStartName(const Text& path) {
    return path.substr(LastNameStart(path));
}

Text DefaultExtensionOf(const Text& pattern) {
    const std::size_t dot = pattern.rfind('.');
    const Text extension = dot == Text::npos ? pattern : pattern.substr(dot + 1);
    if (extension.find_first_of("*?") != Text::npos) {
        return {};
    }
    return extension;
}

Text WithDefaultExtension(const Text& path, const Text& pattern) {
    const Text extension = DefaultExtensionOf(pattern);
    if (extension.empty() || path.empty() || FileDialogStartName(path).find('.') != Text::npos) {
        return path;
    }
    return path + "." + extension;
}

}  // namespace yz
