#include "runtime/text.h"

#include <algorithm>
#include <cstring>

namespace yz {

namespace {

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// `at` is a character boundary, so the text's own characters tell lead from trail bytes; up to a
// mismatch both sides hold the same lead bytes, since folding changes none.
bool MatchesAt(const Text& text, std::size_t at, const Text& sought, bool ignore_case) {
    if (!ignore_case) {
        return std::memcmp(text.data() + at, sought.data(), sought.size()) == 0;
    }
    bool trail = false;
    for (std::size_t i = 0; i < sought.size(); ++i) {
        auto x = static_cast<unsigned char>(text[at + i]);
        auto y = static_cast<unsigned char>(sought[i]);
        if (!trail) {
            x = FoldAscii(x);
            y = FoldAscii(y);
        }
        if (x != y) {
            return false;
        }
        trail = !trail && IsGbkLeadByte(x);
    }
    return true;
}

// The 0-based offset of the first match at a character boundary at or after `from`, or npos.
// `from` must itself be a character boundary; `sought` is not empty.
std::size_t FindOnBoundary(const Text& text, const Text& sought, std::size_t from, bool ignore_case) {
    std::size_t at = from;
    while (at < text.size() && text.size() - at >= sought.size()) {
        if (MatchesAt(text, at, sought, ignore_case)) {
            return at;
        }
        at += IsGbkLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
    }
    return Text::npos;
}

}  // namespace

int TextLength(const Text& text) {
    return static_cast<int>(text.size());
}

Text TextLeft(const Text& text, int n) {
    if (n <= 0) {
        return {};
    }
    return text.substr(0, std::min<std::size_t>(static_cast<std::size_t>(n), text.size()));
}

Text TextRight(const Text& text, int n) {
    if (n <= 0) {
        return {};
    }
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(n), text.size());
    return text.substr(text.size() - count);
}

int CharCodeAt(const Text& text, int position) {
    if (position < 1 || static_cast<std::size_t>(position) > text.size()) {
        return 0;
    }
    return static_cast<unsigned char>(text[static_cast<std::size_t>(position) - 1]);
}

int FindText(const Text& text, const Text& sought, int start, bool ignore_case) {
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= text.size()) {
        return -1;
    }
    if (sought.empty()) {
        return 1;
    }
    const std::size_t found = FindOnBoundary(text, sought, from, ignore_case);
    return found == Text::npos ? -1 : static_cast<int>(found) + 1;
}

TextList SplitText(const Text& text, const Text& separator, std::optional<int> max_parts) {
    TextList parts;
    if (text.empty() || (max_parts && *max_parts <= 0)) {
        return parts;
    }
    if (separator.empty()) {
        parts.push_back(text);
        return parts;
    }
    const auto full = [&] { return max_parts && parts.size() >= static_cast<std::size_t>(*max_parts); };
    std::size_t begin = 0;
    while (!full()) {
        const std::size_t found = FindOnBoundary(text, separator, begin, false);
        if (found == Text::npos) {
            break;
        }
        parts.push_back(text.substr(begin, found - begin));
        begin = found + separator.size();
    }
    if (!full() && begin < text.size()) {
        parts.push_back(text.substr(begin));
    }
    return parts;
}

Text RemoveAllSpaces(const Text& text) {
    Text out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == ' ') {
            continue;
        }
        if (c == 0xA1 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xA1) {
            ++i;
            continue;
        }
        out += text[i];
        if (IsGbkLeadByte(c) && i + 1 < text.size()) {
            out += text[++i];  // the trail byte belongs to this character
        }
    }
    return out;
}

int CompareText(const Text& a, const Text& b, bool case_sensitive) {
    std::size_t i = 0;
    bool trail = false;  // the previous byte was a lead byte, so this one is a trail byte
    for (; i < a.size() && i < b.size(); ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (!case_sensitive && !trail) {
            x = FoldAscii(x);
            y = FoldAscii(y);
        }
        if (x != y) {
            return x < y ? -1 : 1;
        }
        trail = !trail && IsGbkLeadByte(x);
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

Text CutGbkAtBoundary(const Text& text, int max_bytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t width = IsGbkLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > static_cast<std::size_t>(max_bytes < 0 ? 0 : max_bytes) || end + width > text.size()) {
            break;
        }
        end += width;
    }
    return text.substr(0, end);
}

}  // namespace yz
