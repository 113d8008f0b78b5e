#pragma once

// Text services on GBK byte strings. Lengths and positions are byte counts; positions are
// 1-based. Searching and splitting never match inside a double-byte character.

#include <optional>

#include "runtime/types.h"

namespace yz {

// Code page 936 starts a two-byte character with a byte of 0x81 to 0xFE, which takes the byte
// after it whatever that is; 0x80 (the euro sign) and 0xFF stand alone.
constexpr bool IsGbkLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

int TextLength(const Text& text);

// The first min(n, length) bytes; empty when n <= 0. May cut a double-byte character in two.
Text TextLeft(const Text& text, int n);

// The longest prefix with at most max_bytes bytes that ends on a character boundary (a lead byte
// at the end, with no byte after it, is left out too).
Text CutGbkAtBoundary(const Text& text, int max_bytes);

// The last min(n, length) bytes; empty when n <= 0.
Text TextRight(const Text& text, int n);

// The byte value at the 1-based position; 0 past the end or before the start.
int CharCodeAt(const Text& text, int position = 1);

// 1-based byte position of the first occurrence of `sought` at or after `start`, or -1. A start
// below 1 counts as 1; a start beyond the end finds nothing. An empty sought text gives 1 when any
// text remains from the start on. With ignore_case, ASCII letters match either case (never the
// trail byte of a character).
int FindText(const Text& text, const Text& sought, int start = 1, bool ignore_case = false);

// Splits on `separator` at character boundaries. An empty text, or a maximum of 0 or less, gives
// no element; an empty separator gives the whole text as the only element. A text that ends with
// the separator gives no empty last element; with a maximum, parts beyond it are dropped.
TextList SplitText(const Text& text, const Text& separator = ",", std::optional<int> max_parts = std::nullopt);

// The text without ASCII spaces (0x20) and full-width spaces (0xA1 0xA1); everything else kept.
Text RemoveAllSpaces(const Text& text);

// Negative, 0 or positive, comparing character by character in GBK order; with case_sensitive
// false, ASCII letters compare without regard to case (never the trail byte of a character).
int CompareText(const Text& a, const Text& b, bool case_sensitive);

}  // namespace yz
