#pragma once

// Balloon tips: a topmost pop-up with a stem pointing at a screen point, showing rich text in
// colour runs. It never takes the activation, and hides itself after a few seconds or on a click.

#include <windows.h>

#include <functional>
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
// A balloon's text wraps at this width and shows at most this many lines, whatever it is given.
inline constexpr int kBalloonTextWidth = 320;
inline constexpr int kBalloonLines = 6;

// The lines wrapped at `max_width` (as `width_of` measures a text), never inside a character,
// each run keeping its colour; past `max_lines` lines the rest is left out and the last line ends
// in "…".
std::vector<RichLine> FitRichLines(const std::vector<RichLine>& lines,
                                   int max_width,
                                   int max_lines,
                                   const std::function<int(const Text&)>& width_of);

// Where a balloon of `width` x `height` pixels with its stem at (x, y) stands on the screen area
// `area`: left-aligned near the point but inside the area, below the point when it fits there and
// above it otherwise. `tip` is the stem's distance from the left edge.
struct BalloonPlacement {
    int left = 0;
    int top = 0;
    bool below = true;
    int tip = 0;
    friend bool operator==(const BalloonPlacement&, const BalloonPlacement&) = default;
};
BalloonPlacement PlaceBalloon(int x, int y, int width, int height, const RECT& area);

// Shows the balloon with its stem at (x, y), placed on the work area of the monitor that holds
// the owner window (of the point without one). Icon 1 information, 2 warning, 3 error, anything
// else none. The balloon owns its copy of the lines; the result is its window, gone once it hides.
HWND ShowBalloon(HWND owner, int x, int y, const std::vector<RichLine>& lines, const FontSpec& font, int icon);

}  // namespace yz
