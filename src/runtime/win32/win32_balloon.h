#pragma once

// Balloon tips: a topmost pop-up with a stem pointing at a screen point, showing rich text in
// colour runs. It never takes the activation, and hides itself after a few seconds or on a click.

#include <windows.h>

#include <vector>

#include "runtime/ui_template.h"

namespace yz {

struct RichRun {
    Text text;
    Colour colour = kBlack;
    friend bool operator==(const RichRun&, const RichRun&) = default;
};
using RichLine = std::vector<RichRun>;

// Splits rich text into lines of coloured runs. "<font color=X>" shows X (red, blue, green, black,
// white or #RRGGBB; any case, quotes allowed; an unknown colour keeps the current one) until its
// "</font>"; "<br>", CR LF and LF break the line; "&lt;", "&gt;" and "&amp;" are the characters
// they stand for. Everything else, unknown tags and other entities included, is text.
std::vector<RichLine> ParseRichText(const Text& text, Colour base);

inline constexpr UINT kBalloonMilliseconds = 6000;

// Shows the balloon with its stem at (x, y), below the point when it fits on the screen and above
// it otherwise. Icon 1 information, 2 warning, 3 error, anything else none. The balloon owns its
// copy of the lines; the result is its window, gone once it hides.
HWND ShowBalloon(HWND owner, int x, int y, const std::vector<RichLine>& lines, const FontSpec& font, int icon);

}  // namespace yz
