#pragma once

// The INI-style configuration file, with the rules of the Windows private-profile functions:
// GBK text, section and key names compared without regard to ASCII case, "[section]" lines and
// "key=value" lines, blanks around names and values ignored on reading, a value in matching
// quotes read without them. A write changes only the line of its key (or appends the key at the
// end of its section, or the section at the end of the file) and keeps every other line byte for
// byte; it goes through the atomic WriteFileBytes. Nothing is cached: a read after a write sees it.

#include <optional>
#include <string_view>

#include "runtime/types.h"

namespace yz {

// Longest value a read returns; longer values are cut.
inline constexpr int kConfigValueLimit = 10239;

// The value of `key` in `section` of `file`. Leading bytes of 0x20 or below are skipped in the
// three names; when one of them is then empty, the result is empty (not the default). A missing
// file, section or key gives the default, or an empty text without one.
Text ReadConfigItem(const Text& file,
                    const Text& section,
                    const Text& key,
                    const std::optional<Text>& default_value = std::nullopt);

// Writes `key` = `value` in `section`, creating the file or section when missing. An absent value
// deletes the key; an absent key deletes the whole section. Names are not trimmed. False when the
// file cannot be written.
bool WriteConfigItem(const Text& file,
                     const Text& section,
                     const std::optional<Text>& key = std::nullopt,
                     const std::optional<Text>& value = std::nullopt);

// The same two operations on a file's content in memory, for the services above and for tests.
// FindConfigValue returns nullopt when the section or key is missing (names already trimmed).
std::optional<Text> FindConfigValue(std::string_view content, std::string_view section, std::string_view key);
std::string UpdateConfigContent(std::string_view content,
                                std::string_view section,
                                const std::optional<Text>& key,
                                const std::optional<Text>& value);

}  // namespace yz
