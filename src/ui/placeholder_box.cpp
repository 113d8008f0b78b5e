#include "ui/placeholder_box.h"

#include "ui/status_line.h"

namespace yz::ui {

void EnterPlaceholderBox(UiService& ui, const ControlRef& box, const Text& placeholder, const Text& status_tail) {
    if (GetText(ui, box, Property::kText) == placeholder) {
        ui.SetProperty(box, Property::kText, Text());
    }
    ShowStatus(ui, status_tail);
}

void LeavePlaceholderBox(UiService& ui, const ControlRef& box, const Text& placeholder) {
    if (GetText(ui, box, Property::kText).empty()) {
        ui.SetProperty(box, Property::kText, placeholder);
    }
}

}  // namespace yz::ui
