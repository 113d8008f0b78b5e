#pragma once

// The statistics of the editor text, in one pass over it: the paragraph count (the number of
// parts that splitting the text at every CR LF on character boundaries gives, with no empty last
// part) and the byte count without ASCII and full-width spaces.

#include <cstdint>
#include <string_view>

#include "runtime/types.h"

namespace yz {

struct TextStatistics {
    int paragraphs = 0;
    std::int64_t bytes_without_spaces = 0;
};

TextStatistics CountText(std::string_view text);

// (bytes without spaces) / 2 - line breaks, in double precision.
double CharacterCount(const TextStatistics& statistics, int line_breaks);

// " --霁川软件 当前文档共计:  " + paragraphs + "  个段落,总字数为:  " + characters ("%.13g").
Text StatisticsTail(const TextStatistics& statistics, int line_breaks);

}  // namespace yz
