#pragma once

// Painting controls on a window that is layered with a colour key: a face or background drawn in
// the key colour (the white faces of themed buttons, a slider's track, a picture button over a
// white background) would be see-through and let clicks fall to the window below.

#include <windows.h>

#include <functional>

namespace yz {

// The colour key of the top-level window that holds `control`; false when it has none.
bool ColourKeyOf(HWND control, COLORREF* key);

// Runs `draw` on an off-screen copy of `rect` of `target` (the copy's 0,0 stands for the corner of
// `rect`), then puts the copy on `target` with every pixel of the colour `key` replaced by the
// nearest other colour.
void DrawAvoidingKey(HDC target, const RECT& rect, COLORREF key, const std::function<void(HDC)>& draw);

// For the subclass procedure of a standard control (button, check box, slider): on WM_PAINT, when
// the control's top-level window has a colour key, paints the control as DrawAvoidingKey does; on
// WM_ERASEBKGND there, leaves the erasing to that paint. Answers whether it took the message
// (false: the control handles it).
bool PaintedAvoidingKey(HWND control, UINT message);

}  // namespace yz
