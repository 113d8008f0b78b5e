#pragma once

// The INI-style configuration file, read as the Windows private-profile functions read it: GBK
// text; lines end with CR LF, LF or CR alone; "[section]" lines and "key=value" lines, section and
// key names compared without regard to ASCII case; tabs, spaces, CR, LF, VT, FF and 0x1A around
// names and values ignored; a value in matching quotes read without them. Only the first section
// of a name and the first line of a key count; a line holding a key without "=" has no value, so
// a read of that key gives the default. A write changes only the line of its key (or appends the
// key at the end of its section, or the section at the end of the file) and keeps every other
// line byte for byte; it goes through the atomic WriteFileBytes. Nothing is cached: a read after
// a write sees it.

#include <optional>
#include <string_view>

#include "runtime/types.h"

namespace yz {

// Longest value a read returns; longer values are cut.
inline constexpr int kConfigValueLimit = 10239;

// The value of `key` in `section` of `file`. Leading bytes of 0x20 or below are skipped in the
// three names; when one of them is then empty, the result is empty (not the default). A missing
// file, section, key or value gives the default, or an empty text without one; the default too
// loses its trailing spaces (all but a first one) and matching quotes, as the system returns it.
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

// WriteConfigItem with the file steps of `ops`, so a test can make the read of the old content or
// any step of the write fail.
class FileReplaceOps;
bool WriteConfigItemWith(FileReplaceOps& ops,
                         const Text& file,
                         const Text& section,
                         const std::optional<Text>& key,
                         const std::optional<Text>& value);

// The same two operations on a file's content in memory, for the services above and for tests.
// FindConfigValue returns nullopt when the section, the key or its value is missing.
std::optional<Text> FindConfigValue(std::string_view content, std::string_view section, std::string_view key);
std::string UpdateConfigContent(std::string_view content,
                                std::string_view section,
                                const std::optional<Text>& key,
                                const std::optional<Text>& value);

}  // namespace yz
