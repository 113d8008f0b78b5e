#include "ui/status_line.h"

#include "ui/names.h"

namespace yz::ui {

Text StatusText(const Text& tail) {
    return "砚舟文匣 v" + kVersionText + tail;
}

void ShowStatus(UiService& ui, const Text& tail) {
    ui.SetProperty(标题标签, Property::kText, StatusText(tail));
}

}  // namespace yz::ui
