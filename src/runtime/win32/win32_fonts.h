#pragma once

// Fonts of the templates as GDI fonts. Template heights are character heights in pixels at 96 dpi
// and the font-size property is in points, so 12 px is 9 points and 24 px is 18 points.

#include <windows.h>

#include "runtime/ui_template.h"

namespace yz {

// 宋体 at 9 points: what a control without a font of its own shows.
FontSpec DefaultFont();

HFONT CreateGdiFont(const FontSpec& font);

int PointsFromPixels(int pixels);
int PixelsFromPoints(int points);

}  // namespace yz
