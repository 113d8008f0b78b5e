#pragma once

#include "runtime/ui_service.h"

namespace yz::ui {

// The main window's layout pass: run on its resized event and once right after creation. It
// places the editor, the status line, the top line of labels, the ticker, the author list, the
// panel overlay and the encryption panel's controls from the window's width and height. The lower
// part is anchored to the window's height (not to where the window stands on the screen), so the
// ticker and the author list stay inside the window wherever it is.
void LayOutMainWindow(UiService& ui);

}  // namespace yz::ui
