// Feeds arbitrary bytes as a configuration file to the reader and the updater. The first three
// bytes give the lengths of a section name, a key and a value taken from the bytes after them;
// the rest is the file content. After setting key=value, reading the key must give the value
// back whenever the names and the value survive the file's syntax, and setting it again must
// change nothing.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/config_file.h"
#include "runtime/text.h"

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

bool HasControl(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            return true;
        }
    }
    return false;
}

// False when the last character is a lone lead byte, which would take the following "=" or "]"
// as its second byte.
bool EndsWhole(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        i += yz::IsGbkLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    return i == text.size();
}

bool Contains(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A name that reads back as itself: no line breaks or other control bytes, no syntax bytes, and
// nothing that would turn the entry line into a section header.
bool UsableKey(std::string_view key) {
    const std::string_view trimmed = Trim(key);
    return !trimmed.empty() && !HasControl(key) && !Contains(key, '=') && EndsWhole(key) && trimmed.front() != '[';
}

bool UsableSection(std::string_view section) {
    return !HasControl(section) && !Contains(section, ']') && EndsWhole(section);
}

// A value that reads back exactly: no line break, no blank at either end, not wrapped in quotes.
bool UsableValue(std::string_view value) {
    if (Contains(value, '\n') || Contains(value, '\r') || value.size() > yz::kConfigValueLimit) {
        return false;
    }
    if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))) {
        return false;
    }
    return !(value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t lengths[3] = {data[0] % 8u, data[1] % 8u, data[2] % 16u};
    std::size_t at = 3;
    std::string_view parts[3];
    for (int i = 0; i < 3; ++i) {
        const std::size_t length = std::min(lengths[i], size - at);
        parts[i] = input.substr(at, length);
        at += length;
    }
    const std::string section(parts[0]);
    const std::string key(parts[1]);
    const std::string value(parts[2]);
    const std::string_view content = input.substr(at);

    yz::FindConfigValue(content, section, key);
    const std::string without_section = yz::UpdateConfigContent(content, section, std::nullopt, std::nullopt);
    const std::string without_key = yz::UpdateConfigContent(content, section, key, std::nullopt);
    const std::string updated = yz::UpdateConfigContent(content, section, key, value);

    // A deletion only removes lines.
    if (without_section.size() > content.size() || without_key.size() > content.size()) {
        std::abort();
    }
    if (UsableSection(section) && UsableKey(key) && UsableValue(value)) {
        const std::optional<yz::Text> found = yz::FindConfigValue(updated, Trim(section), Trim(key));
        if (!found || *found != value) {
            std::abort();
        }
        // Setting the value it already has changes nothing.
        if (yz::UpdateConfigContent(updated, section, key, value) != updated) {
            std::abort();
        }
    }
    return 0;
}
