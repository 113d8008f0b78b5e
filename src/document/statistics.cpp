#include "document/statistics.h"

#include <emmintrin.h>

#include "runtime/convert.h"
#include "runtime/text.h"

namespace yz {

namespace {

constexpr unsigned char kFullWidthSpaceByte = 0xA1;
constexpr std::size_t kBlock = 64;
constexpr std::uint64_t kEvenBits = 0x5555555555555555ull;
constexpr std::uint64_t kOddBits = ~kEvenBits;

// The walk over the text, one character at a time: a lead byte starts a two-byte character and
// takes the next byte with it whatever that is, so a separator or a space never starts on a
// second byte.
struct Walk {
    const unsigned char* bytes;
    std::size_t size;
    bool in_character = false;  // the byte at the current position is a character's second byte
    std::int64_t separators = 0;
    std::int64_t space_bytes = 0;
    std::size_t last_separator_end = 0;

    void Step(std::size_t i) {
        if (in_character) {
            in_character = false;
            return;
        }
        const unsigned char c = bytes[i];
        if (IsGbkLeadByte(c)) {
            if (c == kFullWidthSpaceByte && i + 1 < size && bytes[i + 1] == kFullWidthSpaceByte) {
                space_bytes += 2;
            }
            in_character = true;
        } else if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') {
            ++separators;
            last_separator_end = i + 2;
        } else if (c == ' ') {
            ++space_bytes;
        }
    }

    void Block(std::size_t at);
};

std::uint64_t Mask16(__m128i matches) {
    return static_cast<std::uint16_t>(_mm_movemask_epi8(matches));
}

int PopCount(std::uint64_t bits) {
    return __builtin_popcountll(bits);
}

// The same walk over 64 bytes at once, on bit masks (bit n is byte at + n). A byte is a second
// byte exactly when the run of lead bytes just before it has odd length, and every such run
// starts on a character boundary (any other byte ends a character, alone or as a second byte).
// Adding a run's start bit to the mask of lead bytes clears the run and sets the bit just after
// it, which gives each run and its end; the second bytes are then the run positions and ends at
// odd distance from the run's start.
void Walk::Block(std::size_t at) {
    std::uint64_t high = 0, spaces = 0, returns = 0, feeds = 0, halves = 0;
    for (std::size_t part = 0; part < kBlock / 16; ++part) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at + part * 16));
        const unsigned shift = static_cast<unsigned>(part * 16);
        // Lead bytes 0x81 to 0xFE: the bytes of 0x80 and above without 0x80 and 0xFF.
        const __m128i single = _mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(static_cast<char>(0x80))),
                                            _mm_cmpeq_epi8(chunk, _mm_set1_epi8(static_cast<char>(0xFF))));
        high |= Mask16(_mm_andnot_si128(single, chunk)) << shift;
        spaces |= Mask16(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(' '))) << shift;
        returns |= Mask16(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('\r'))) << shift;
        feeds |= Mask16(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('\n'))) << shift;
        halves |= Mask16(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(static_cast<char>(kFullWidthSpaceByte)))) << shift;
    }
    const bool has_next = at + kBlock < size;
    const std::uint64_t next_is_feed = has_next && bytes[at + kBlock] == '\n' ? 1 : 0;
    const std::uint64_t next_is_half = has_next && bytes[at + kBlock] == kFullWidthSpaceByte ? 1 : 0;

    const std::uint64_t starts = high & ~(high << 1);
    std::uint64_t even_starts = starts & kEvenBits;
    std::uint64_t odd_starts = starts & kOddBits;
    std::uint64_t second_bytes = 0;
    if (in_character) {
        if (high & 1) {
            // The run goes on from the last block with byte 0 a second byte: as if it had started
            // one byte earlier, at an odd distance.
            even_starts &= ~std::uint64_t{1};
            odd_starts |= 1;
        } else {
            second_bytes |= 1;
        }
    }
    const std::uint64_t after_even = high + even_starts;
    const std::uint64_t after_odd = high + odd_starts;
    const std::uint64_t even_runs = (high & ~after_even) | (after_even & ~high);
    const std::uint64_t odd_runs = (high & ~after_odd) | (after_odd & ~high);
    second_bytes |= (even_runs & kOddBits) | (odd_runs & kEvenBits);
    const std::uint64_t boundaries = ~second_bytes;

    space_bytes += PopCount(spaces & boundaries);
    const std::uint64_t leads = high & boundaries;
    space_bytes += 2 * PopCount(leads & halves & ((halves >> 1) | (next_is_half << 63)));
    const std::uint64_t breaks = returns & boundaries & ((feeds >> 1) | (next_is_feed << 63));
    if (breaks != 0) {
        separators += PopCount(breaks);
        last_separator_end = at + static_cast<std::size_t>(63 - __builtin_clzll(breaks)) + 2;
    }
    // Byte 64 is a second byte when a run reaches the block's end at an odd distance from its start.
    in_character = ((high & odd_runs) >> 63) != 0;
}

}  // namespace

TextStatistics CountText(std::string_view text) {
    Walk walk{reinterpret_cast<const unsigned char*>(text.data()), text.size()};
    std::size_t i = 0;
    for (; i + kBlock <= walk.size; i += kBlock) {
        walk.Block(i);
    }
    for (; i < walk.size; ++i) {
        walk.Step(i);
    }
    TextStatistics statistics;
    statistics.paragraphs = static_cast<int>(walk.separators + (walk.last_separator_end < walk.size ? 1 : 0));
    statistics.bytes_without_spaces = static_cast<std::int64_t>(walk.size) - walk.space_bytes;
    return statistics;
}

double CharacterCount(const TextStatistics& statistics, int line_breaks) {
    return static_cast<double>(statistics.bytes_without_spaces) / 2.0 - static_cast<double>(line_breaks);
}

Text StatisticsTail(const TextStatistics& statistics, int line_breaks) {
    return " --霁川软件 当前文档共计:  " + ToText(statistics.paragraphs) +
           "  个段落,总字数为:  " + ToText(CharacterCount(statistics, line_breaks));
}

}  // namespace yz
