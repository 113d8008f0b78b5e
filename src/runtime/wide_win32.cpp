#include "runtime/wide_win32.h"

namespace yz {

std::wstring WideFromNarrow(std::string_view text, UINT code_page) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(needed > 0 ? needed : 0), L'\0');
    if (needed > 0) {
        MultiByteToWideChar(code_page, 0, text.data(), size, out.data(), needed);
    }
    return out;
}

std::string NarrowFromWide(std::wstring_view text, UINT code_page) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(code_page, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0) {
        WideCharToMultiByte(code_page, 0, text.data(), size, out.data(), needed, nullptr, nullptr);
    }
    return out;
}

}  // namespace yz
