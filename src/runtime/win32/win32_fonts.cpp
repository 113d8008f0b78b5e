#include "runtime/win32/win32_fonts.h"

#include "runtime/wide_win32.h"

namespace yz {

FontSpec DefaultFontSpec() {
    FontSpec spec;
    spec.face = "宋体";
    spec.height_px = 12;
    return spec;
}

HFONT CreateFontFromSpec(const FontSpec& spec) {
    const std::wstring face = WideFromGbk(spec.face);
    return CreateFontW(-spec.height_px, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, spec.italic, spec.underline,
                       spec.strike_out, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
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
