#include "runtime/encoding.h"

#include "runtime/wide_win32.h"

namespace yz {

std::string Utf8FromGbk(std::string_view gbk) {
    return NarrowFromWide(WideFromGbk(gbk), CP_UTF8);
}

Text GbkFromUtf8(std::string_view utf8) {
    return GbkFromWide(WideFromNarrow(utf8, CP_UTF8));
}

}  // namespace yz
