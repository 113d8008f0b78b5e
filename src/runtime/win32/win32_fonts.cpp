#include "runtime/win32/win32_fonts.h"

#include "runtime/wide_win32.h"

namespace yz {

FontSpec DefaultFont() {
    FontSpec font;
    font.face = "宋体";
    font.height_px = 12;
    return font;
}

HFONT CreateGdiFont(const FontSpec& font) {
    const std::wstring face = WideFromGbk(font.face);
    return CreateFontW(-font.height_px, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, font.underline,
                       font.strike_out, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

// Rounded both ways so every whole point size survives a round trip through pixels.
int PointsFromPixels(int pixels) {
    return (pixels * 3 + (pixels >= 0 ? 2 : -2)) / 4;
}

int PixelsFromPoints(int points) {
    return (points * 4 + (points >= 0 ? 1 : -1)) / 3;
}

}  // namespace yz
