// The mouse and the controls the writer operates with it: a click activates the window, the
// button-down handler sees the press before the control takes the focus, and the control acts on
// the release (a button is clicked, a check box toggles, a colour picker opens its palette).

#include <algorithm>

#include "runtime/headless/headless_desktop.h"
#include "runtime/headless/headless_scope.h"

namespace yz {

bool HeadlessDesktop::PrepareMouse(const ControlRef& ref) {
    if (!AcceptsInput(ref)) {
        return false;
    }
    if (active_ != ref.window) {
        ActivateWindow(ref.window, std::nullopt);
    }
    return AcceptsInput(ref);
}

void HeadlessDesktop::ApplyClick(const ControlRef& ref) {
    ControlState* control = FindControl(ref);
    if (control == nullptr) {
        return;
    }
    switch (control->kind()) {
        case ControlKind::kCheckBox:
            control->checked = !control->checked;
            Raise(ref, EventKind::kClicked);
            return;
        case ControlKind::kButton:
        case ControlKind::kPictureButton:
            Raise(ref, EventKind::kClicked);
            return;
        case ControlKind::kColourPicker:
            OpenColourPalette(ref);
            return;
        default:
            return;
    }
}

bool HeadlessDesktop::LeftButtonDown(const ControlRef& ref, int x, int y, int modifiers) {
    ActionScope scope(*this);
    if (!PrepareMouse(ref)) {
        return false;
    }
    if (Raise(ref, EventKind::kLeftButtonDown, x, y, modifiers)) {
        FocusOnClick(ref);
    }
    return true;
}

bool HeadlessDesktop::LeftButtonUp(const ControlRef& ref, int x, int y, int modifiers) {
    ActionScope scope(*this);
    if (!AcceptsInput(ref)) {
        return false;
    }
    if (Raise(ref, EventKind::kLeftButtonUp, x, y, modifiers) && AcceptsInput(ref)) {
        ApplyClick(ref);
    }
    return true;
}

bool HeadlessDesktop::Click(const ControlRef& ref, int x, int y, int modifiers) {
    ActionScope scope(*this);
    if (!PrepareMouse(ref)) {
        return false;
    }
    // A press the handler swallowed never pushes the control, so its release clicks nothing.
    const bool pressed = Raise(ref, EventKind::kLeftButtonDown, x, y, modifiers);
    if (pressed) {
        FocusOnClick(ref);
    }
    if (AcceptsInput(ref) && Raise(ref, EventKind::kLeftButtonUp, x, y, modifiers) && pressed && AcceptsInput(ref)) {
        ApplyClick(ref);
    }
    return true;
}

bool HeadlessDesktop::DoubleClick(const ControlRef& ref, int x, int y, int modifiers) {
    ActionScope scope(*this);
    if (!Click(ref, x, y, modifiers)) {
        return false;
    }
    // The second press arrives as a double click, and its release acts like any other.
    const bool pressed = AcceptsInput(ref) && Raise(ref, EventKind::kDoubleClick, x, y, modifiers);
    if (AcceptsInput(ref) && Raise(ref, EventKind::kLeftButtonUp, x, y, modifiers) && pressed && AcceptsInput(ref)) {
        ApplyClick(ref);
    }
    return true;
}

bool HeadlessDesktop::RightClick(const ControlRef& ref, int x, int y, int modifiers) {
    ActionScope scope(*this);
    if (!PrepareMouse(ref)) {
        return false;
    }
    Raise(ref, EventKind::kRightButtonDown, x, y, modifiers);
    if (AcceptsInput(ref)) {
        Raise(ref, EventKind::kRightButtonUp, x, y, modifiers);
    }
    return true;
}

bool HeadlessDesktop::MouseMove(const ControlRef& ref, int x, int y, int modifiers) {
    ActionScope scope(*this);
    if (!AcceptsInput(ref)) {
        return false;
    }
    Raise(ref, EventKind::kMouseMove, x, y, modifiers);
    return true;
}

bool HeadlessDesktop::Wheel(const ControlRef& ref, int notches, int modifiers) {
    ActionScope scope(*this);
    if (!AcceptsInput(ref)) {
        return false;
    }
    Raise(ref, EventKind::kWheel, notches, modifiers);
    return true;
}

bool HeadlessDesktop::SelectTabPage(const ControlRef& tabs, int page) {
    ActionScope scope(*this);
    const ControlState* control = FindControl(tabs);
    if (control == nullptr || control->kind() != ControlKind::kTabControl || !PrepareMouse(tabs)) {
        return false;
    }
    control = FindControl(tabs);
    WindowState* window = FindWindow(tabs.window);
    if (control == nullptr || page < 0 || page >= static_cast<int>(control->page_captions.size())) {
        return false;
    }
    if (control->current_page == page) {
        return true;
    }
    ShowTabPage(*window, tabs.control, page);
    FocusAfterHiding();
    Raise(tabs, EventKind::kSelectionChanged, page);
    if (const auto first = FirstInTabOrder(tabs.window, tabs.control, page); first && active_ == tabs.window) {
        ChangeFocus(*first);
    }
    return true;
}

bool HeadlessDesktop::MoveSlider(const ControlRef& slider, int position) {
    ActionScope scope(*this);
    ControlState* control = FindControl(slider);
    if (control == nullptr || control->kind() != ControlKind::kSlider || !PrepareMouse(slider)) {
        return false;
    }
    control = FindControl(slider);
    if (control == nullptr) {
        return false;
    }
    const SliderSettings& range = control->made_from.slider;
    const int low = std::min(range.minimum, range.maximum);
    const int high = std::max(range.minimum, range.maximum);
    control->slider_position = std::clamp(position, low, high);
    Raise(slider, EventKind::kPositionChanged, static_cast<int>(control->slider_position));
    return true;
}

bool HeadlessDesktop::SelectListBoxLine(const ControlRef& list, int index) {
    ActionScope scope(*this);
    const ControlState* control = FindControl(list);
    if (control == nullptr || control->kind() != ControlKind::kListBox || !PrepareMouse(list)) {
        return false;
    }
    FocusOnClick(list);
    ControlState* state = FindControl(list);
    if (state == nullptr || index < 0 || index >= static_cast<int>(state->lines.size())) {
        return false;
    }
    state->list_selection = index;
    Raise(list, EventKind::kSelectionChanged, index);
    return true;
}

bool HeadlessDesktop::ClickTrayIcon(const Text& window, int action) {
    ActionScope scope(*this);
    const WindowState* state = FindWindow(window);
    if (state == nullptr || !state->tray_icon) {
        return false;
    }
    Raise({window, {}}, EventKind::kTray, action);
    return true;
}

}  // namespace yz
