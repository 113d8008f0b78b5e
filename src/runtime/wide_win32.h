#pragma once

// GBK and UTF-16 on Windows. Always code page 936, never the system ANSI code page, so Chinese
// shows on any Windows language. Invalid sequences become the code page's default character.

#include <windows.h>

#include <string>
#include <string_view>

namespace yz {

std::wstring WideFromNarrow(std::string_view text, UINT code_page);
std::string NarrowFromWide(std::wstring_view text, UINT code_page);

inline constexpr UINT kGbkCodePage = 936;

inline std::wstring WideFromGbk(std::string_view gbk) {
    return WideFromNarrow(gbk, kGbkCodePage);
}
inline std::string GbkFromWide(std::wstring_view wide) {
    return NarrowFromWide(wide, kGbkCodePage);
}

}  // namespace yz
