#include "runtime/win32/win32_text_limit.h"

#include "runtime/text.h"
#include "runtime/wide_win32.h"

namespace yz {

int GbkByteLength(std::wstring_view text) {
    return static_cast<int>(GbkFromWide(text).size());
}

std::wstring CutToGbkBytes(std::wstring_view text, int max_bytes) {
    std::size_t end = 0;
    int used = 0;
    while (end < text.size()) {
        std::size_t units = 1;
        if (IS_HIGH_SURROGATE(text[end]) && end + 1 < text.size() && IS_LOW_SURROGATE(text[end + 1])) {
            units = 2;
        }
        const int bytes = GbkByteLength(text.substr(end, units));
        if (used + bytes > max_bytes) {
            break;
        }
        used += bytes;
        end += units;
    }
    return std::wstring(text.substr(0, end));
}

}  // namespace yz
