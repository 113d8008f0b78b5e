#pragma once

// The top line of the main window: five labels that drop their menus, and the close label.

#include "runtime/ui_service.h"

namespace yz {

// Left button down on a menu label: the clicked label turns red and the other four and the close
// label blue; the menu drops at (main window left + offset, main window top + 36).
void OpenLabelMenu(UiService& ui, const ControlRef& label);

// The close label's colours before the exit check: the five menu labels blue, the close label red.
void MarkCloseLabel(UiService& ui);

}  // namespace yz
