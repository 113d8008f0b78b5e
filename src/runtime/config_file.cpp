#include "runtime/config_file.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "runtime/atomic_write.h"
#include "runtime/files.h"
#include "runtime/text.h"

namespace yz {

namespace {

// Lines that this file adds end with CR LF; lines already in the file keep their own ending.
constexpr std::string_view kLineBreak = "\r\n";

// The names the program asks for skip every leading byte up to 0x20.
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// Inside the file, as the system's profile functions read it, only tab, LF, VT, FF, CR, space and
// 0x1A (an old end-of-file mark) surround names and values; other control bytes belong to them.
bool IsProfileSpace(char c) {
    return (c >= '\t' && c <= '\r') || c == ' ' || c == '\x1A';
}

bool StartsDoubleByte(char c) {
    return IsGbkLeadByte(static_cast<unsigned char>(c));
}

std::string_view SkipBlanks(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) {
        ++start;
    }
    return text.substr(start);
}

// Spaces are ASCII bytes, and the second byte of a GBK character is 0x40 or above, so trimming
// byte by byte never cuts a character.
std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsProfileSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsProfileSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The position of the first (or last) `wanted` ASCII byte that starts a character, or npos: a
// "]" or "=" that is the second byte of a double-byte character is no syntax.
std::size_t FindSyntax(std::string_view text, char wanted, bool last) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); i += StartsDoubleByte(text[i]) ? 2 : 1) {
        if (text[i] == wanted) {
            found = i;
            if (!last) {
                break;
            }
        }
    }
    return found;
}

// True when the text ends inside a character: its last byte is a lead byte without the second.
bool EndsInLoneLeadByte(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        i += StartsDoubleByte(text[i]) ? 2 : 1;
    }
    return i > text.size();
}

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names (already trimmed) match without regard to the case of ASCII letters; a double-byte
// character matches only itself, even when its second byte is a letter.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (StartsDoubleByte(a[i])) {
            if (a[i] != b[i] || (i + 1 < a.size() && a[i + 1] != b[i + 1])) {
                return false;
            }
            ++i;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// A value, or the caller's default, in matching single or double quotes reads without them.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The system hands back the default as it hands back a value: without trailing spaces (all but a
// first one) and without matching quotes.
Text DefaultAsRead(const std::optional<Text>& default_value) {
    if (!default_value) {
        return {};
    }
    std::string_view text = *default_value;
    while (text.size() > 1 && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return Text(Unquote(text).substr(0, kConfigValueLimit));
}

// A line starting with ";" is no comment to the system: it is an entry whose key begins with ";",
// which no name the program asks for does.
enum class LineKind { kBlank, kSection, kEntry };

struct Line {
    std::size_t begin = 0;  // first byte of the line
    std::size_t end = 0;    // one past the text, before its line break
    std::size_t next = 0;   // first byte of the next line
    LineKind kind = LineKind::kBlank;
    std::string_view name;   // section name or key, trimmed
    std::string_view value;  // entry value, trimmed, quotes kept
    bool has_value = false;  // the entry has an "="
};

Line ParseLine(std::string_view content, std::size_t begin, std::size_t end, std::size_t next) {
    Line line;
    line.begin = begin;
    line.end = end;
    line.next = next;
    const std::string_view text = Trim(content.substr(begin, end - begin));
    if (text.empty()) {
        return line;
    }
    if (text.front() == '[') {
        const std::size_t close = FindSyntax(text, ']', true);
        if (close != std::string_view::npos && close > 0) {
            line.kind = LineKind::kSection;
            line.name = Trim(text.substr(1, close - 1));
            return line;
        }
    }
    // Any other line is an entry. One without "=" is a key without a value: a read of it gives the
    // default, and it hides a later line with the same key.
    line.kind = LineKind::kEntry;
    const std::size_t equals = FindSyntax(text, '=', false);
    if (equals == std::string_view::npos) {
        line.name = text;
    } else {
        line.name = Trim(text.substr(0, equals));
        line.value = Trim(text.substr(equals + 1));
        line.has_value = true;
    }
    return line;
}

std::vector<Line> SplitLines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    // CR LF, LF and CR alone each end a line.
    while (begin < content.size()) {
        const std::size_t end = std::min(content.find_first_of("\r\n", begin), content.size());
        std::size_t next = end;
        if (end < content.size()) {
            next += content.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        }
        lines.push_back(ParseLine(content, begin, end, next));
        begin = next;
    }
    return lines;
}

// Line indexes of the first section with the name: its header and one past its last line.
struct SectionSpan {
    std::size_t header = 0;
    std::size_t end = 0;
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view section) {
    section = Trim(section);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::kSection && SameName(lines[i].name, section)) {
            std::size_t end = i + 1;
            while (end < lines.size() && lines[end].kind != LineKind::kSection) {
                ++end;
            }
            return SectionSpan{i, end};
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, const SectionSpan& span, std::string_view key) {
    key = Trim(key);
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        if (lines[i].kind == LineKind::kEntry && SameName(lines[i].name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::string Splice(std::string_view content, std::size_t begin, std::size_t end, std::string_view replacement) {
    std::string out;
    out.reserve(content.size() - (end - begin) + replacement.size());
    out.append(content.substr(0, begin));
    out.append(replacement);
    out.append(content.substr(end));
    return out;
}

// The byte just past the section's last line.
std::size_t SectionEndByte(std::string_view content, const std::vector<Line>& lines, const SectionSpan& span) {
    return span.end < lines.size() ? lines[span.end].begin : content.size();
}

std::string SetValue(std::string_view content, std::string_view section, std::string_view key, std::string_view value) {
    const std::vector<Line> lines = SplitLines(content);
    const std::optional<SectionSpan> span = FindSection(lines, section);
    std::string entry;
    entry.append(key).append("=").append(value);
    if (!span) {
        std::string out(content);
        if (!out.empty() && out.back() != '\n') {
            out.append(kLineBreak);
        }
        out.append("[").append(section).append("]").append(kLineBreak).append(entry).append(kLineBreak);
        return out;
    }
    if (const std::optional<std::size_t> found = FindKey(lines, *span, key)) {
        const Line& line = lines[*found];
        if (line.has_value && Unquote(line.value) == value) {
            return std::string(content);
        }
        // The key keeps the spelling it has in the file, unless that spelling ends in a lone lead
        // byte, which would take the "=" as its second byte and lose the value; the line keeps its
        // own ending.
        std::string replacement;
        replacement.append(EndsInLoneLeadByte(line.name) ? key : line.name).append("=").append(value);
        return Splice(content, line.begin, line.end, replacement);
    }
    // After the section's last non-blank line (its header when it has no other), so blank lines
    // that part it from the next section stay below the new entry.
    std::size_t last = span->header;
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        if (lines[i].kind != LineKind::kBlank) {
            last = i;
        }
    }
    const Line& after = lines[last];
    std::string insertion;
    if (after.next == after.end) {  // the file's last line, without a line break
        insertion.append(kLineBreak);
    }
    insertion.append(entry).append(kLineBreak);
    return Splice(content, after.next, after.next, insertion);
}

}  // namespace

std::optional<Text> FindConfigValue(std::string_view content, std::string_view section, std::string_view key) {
    const std::vector<Line> lines = SplitLines(content);
    const std::optional<SectionSpan> span = FindSection(lines, section);
    if (!span) {
        return std::nullopt;
    }
    const std::optional<std::size_t> found = FindKey(lines, *span, key);
    if (!found || !lines[*found].has_value) {
        return std::nullopt;
    }
    const std::string_view value = Unquote(lines[*found].value);
    return Text(value.substr(0, kConfigValueLimit));
}

std::string UpdateConfigContent(std::string_view content,
                                std::string_view section,
                                const std::optional<Text>& key,
                                const std::optional<Text>& value) {
    if (key && value) {
        return SetValue(content, section, *key, *value);
    }
    const std::vector<Line> lines = SplitLines(content);
    const std::optional<SectionSpan> span = FindSection(lines, section);
    if (!span) {
        return std::string(content);
    }
    if (!key) {
        return Splice(content, lines[span->header].begin, SectionEndByte(content, lines, *span), {});
    }
    const std::optional<std::size_t> found = FindKey(lines, *span, *key);
    if (!found) {
        return std::string(content);
    }
    return Splice(content, lines[*found].begin, lines[*found].next, {});
}

Text ReadConfigItem(const Text& file, const Text& section, const Text& key, const std::optional<Text>& default_value) {
    const std::string_view file_name = SkipBlanks(file);
    const std::string_view section_name = SkipBlanks(section);
    const std::string_view key_name = SkipBlanks(key);
    if (file_name.empty() || section_name.empty() || key_name.empty()) {
        return {};
    }
    const Bytes content = ReadFileBytes(Text(file_name));
    const std::string_view text(reinterpret_cast<const char*>(content.data()), content.size());
    if (std::optional<Text> value = FindConfigValue(text, section_name, key_name)) {
        return std::move(*value);
    }
    return DefaultAsRead(default_value);
}

bool WriteConfigItem(const Text& file,
                     const Text& section,
                     const std::optional<Text>& key,
                     const std::optional<Text>& value) {
    return WriteConfigItemWith(PlatformReplaceOps(), file, section, key, value);
}

bool WriteConfigItemWith(FileReplaceOps& ops,
                         const Text& file,
                         const Text& section,
                         const std::optional<Text>& key,
                         const std::optional<Text>& value) {
    // Rewriting from the old content: a file that exists but cannot be read must not be replaced
    // by one that holds only this entry.
    const std::optional<Bytes> old_content = ops.ReadTarget(file);
    if (!old_content) {
        return false;
    }
    const std::string_view old_text(reinterpret_cast<const char*>(old_content->data()), old_content->size());
    const std::string new_text = UpdateConfigContent(old_text, section, key, value);
    if (new_text == old_text) {
        return true;  // nothing to change: deleting what is not there, or setting the same value
    }
    return WriteFileBytesWith(ops, file, {new_text});
}

}  // namespace yz
