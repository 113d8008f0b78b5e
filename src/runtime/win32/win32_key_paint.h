#pragma once

// Painting standard controls on a window that is layered with a colour key.

#include <windows.h>

namespace yz {

// For the subclass procedure of a standard control (button, check box, slider). On WM_PAINT, when
// the control's top-level window has a colour key, paints the control through an off-screen copy
// in which every pixel of the key colour becomes the nearest other colour: a face or background
// drawn in that colour (the white faces of themed buttons, a slider's track) would otherwise be
// see-through and let clicks fall to the window below. On WM_ERASEBKGND there it leaves the
// erasing to that paint. Answers whether it took the message (false: the control handles it).
bool PaintedAvoidingKey(HWND control, UINT message);

}  // namespace yz
