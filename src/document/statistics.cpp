#include "document/statistics.h"

#include <cstring>

#include "runtime/convert.h"

namespace yz {

namespace {

constexpr unsigned char kLeadByteMin = 0x80;
constexpr unsigned char kFullWidthSpaceByte = 0xA1;

// True when none of the eight bytes of `word` is a space, a CR or at or above 0x80: such a run
// is counted whole. (The classic "has zero byte" test on word ^ broadcast(c).)
bool IsPlainRun(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    const auto has_byte = [](std::uint64_t w, unsigned char c) {
        const std::uint64_t x = w ^ (kOnes * c);
        return ((x - kOnes) & ~x & kHighs) != 0;
    };
    return (word & kHighs) == 0 && !has_byte(word, ' ') && !has_byte(word, '\r');
}

}  // namespace

TextStatistics CountText(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::int64_t separators = 0;
    std::int64_t spaces = 0;  // bytes that belong to spaces
    std::size_t last_separator_end = 0;
    std::size_t i = 0;
    while (i < size) {
        if (i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, sizeof word);
            if (IsPlainRun(word)) {
                i += 8;
                continue;
            }
        }
        const unsigned char c = bytes[i];
        if (c >= kLeadByteMin) {
            // A double-byte character; a separator never starts on its second byte.
            if (c == kFullWidthSpaceByte && i + 1 < size && bytes[i + 1] == kFullWidthSpaceByte) {
                spaces += 2;
            }
            i += 2;
        } else if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') {
            ++separators;
            i += 2;
            last_separator_end = i;
        } else {
            if (c == ' ') {
                ++spaces;
            }
            ++i;
        }
    }
    TextStatistics statistics;
    statistics.paragraphs = static_cast<int>(separators + (last_separator_end < size ? 1 : 0));
    statistics.bytes_without_spaces = static_cast<std::int64_t>(size) - spaces;
    return statistics;
}

double CharacterCount(const TextStatistics& statistics, int line_breaks) {
    return static_cast<double>(statistics.bytes_without_spaces) / 2.0 - static_cast<double>(line_breaks);
}

Text StatisticsTail(const TextStatistics& statistics, int line_breaks) {
    return " --霁川软件 当前文档共计:  " + ToText(statistics.paragraphs) + "  个段落,总字数为:  " +
           ToText(CharacterCount(statistics, line_breaks));
}

}  // namespace yz
