#pragma once

#include "runtime/ui_service.h"

namespace yz {

// Gives the editor the stored look, reading each key once in this order and applying it at once:
// text colour, font face, size, bold, italic, strike-out, underline.
void ApplySavedAppearance(UiService& ui);

}  // namespace yz
