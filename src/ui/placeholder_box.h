#pragma once

// The boxes of the showcase panel show a placeholder text of their own as their content: entering
// a box that holds exactly its placeholder empties it, and leaving it empty puts the placeholder
// back. Each box names its role on the status line when entered.

#include "runtime/ui_service.h"

namespace yz::ui {

void EnterPlaceholderBox(UiService& ui, const ControlRef& box, const Text& placeholder, const Text& status_tail);
void LeavePlaceholderBox(UiService& ui, const ControlRef& box, const Text& placeholder);

}  // namespace yz::ui
