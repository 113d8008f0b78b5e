// Window and control state changes with consequences: moves and resizes, visibility and enabling
// (which move the focus away from what can no longer have it), position states, activation and
// the keyboard focus.

#include <algorithm>

#include "runtime/headless/headless_desktop.h"
#include "runtime/headless/headless_scope.h"

namespace yz {

namespace {

bool IsFocusableByClick(ControlKind kind) {
    return IsVisualKind(kind) && kind != ControlKind::kLabel && kind != ControlKind::kTransparentLabel;
}

}  // namespace

void HeadlessDesktop::SetWindowProperty(const Text& name, Property property, const PropertyValue& value) {
    WindowState* window = FindWindow(name);
    if (window == nullptr) {
        return;
    }
    const ControlRef self{name, {}};
    const std::int64_t number = PropertyNumber(value);
    const Rect before = window->rect;
    switch (property) {
        case Property::kLeft:
        case Property::kTop:
            (property == Property::kLeft ? window->rect.left : window->rect.top) = static_cast<int>(number);
            if (window->rect != before) {
                Raise(self, EventKind::kMoved);
            }
            break;
        case Property::kWidth:
        case Property::kHeight:
            (property == Property::kWidth ? window->rect.width : window->rect.height) = static_cast<int>(number);
            if (window->rect != before) {
                Raise(self, EventKind::kResized);
            }
            break;
        case Property::kVisible:
            if (number != 0) {
                // Showing a window activates it.
                window->visible = true;
                ActivateWindow(name, std::nullopt);
            } else if (window->visible) {
                window->visible = false;
                const Text owner_name = window->owner;
                if (focus_.window == name) {
                    ChangeFocus({});
                }
                DeactivateWindow(name);
                const WindowState* owner = FindWindow(owner_name);
                if (active_.empty() && owner != nullptr && owner->visible && owner->enabled) {
                    ActivateWindow(owner->name(), std::nullopt);
                }
            }
            break;
        case Property::kDisabled:
            window->enabled = number == 0;
            break;
        case Property::kTitle:
            window->title = PropertyText(value);
            break;
        case Property::kPositionState:
            ApplyPositionState(name, static_cast<int>(number));
            break;
        case Property::kAlwaysOnTop:
            window->topmost = number != 0;
            break;
        case Property::kBackColour:
            window->back_colour = static_cast<Colour>(number);
            break;
        default:
            break;
    }
}

void HeadlessDesktop::ApplyPositionState(const Text& name, int state) {
    WindowState* window = FindWindow(name);
    if (window == nullptr || !window->visible || state < 0 || state > 3) {
        return;
    }
    const ControlRef self{name, {}};
    const Rect before = window->rect;
    const bool was_shrunk_or_grown = window->minimised || window->maximised;
    if (state == 2) {
        if (!window->minimised) {
            window->minimised = true;
            Raise(self, EventKind::kResized);
        }
        return;
    }
    if (state == 3) {
        if (!window->maximised) {
            if (!window->minimised) {
                window->normal_rect = window->rect;
            }
            window->minimised = false;
            window->maximised = true;
            window->rect = Rect{0, 0, screen_width_, screen_height_};
            if (window->rect != before) {
                Raise(self, EventKind::kMoved);
            }
            Raise(self, EventKind::kResized);
        }
        return;
    }
    // 0 restores; 1 restores and centres on the screen at the same size.
    if (window->maximised) {
        window->rect = window->normal_rect;
    }
    window->minimised = false;
    window->maximised = false;
    window->position_state = state;
    if (state == 1) {
        window->rect.left = (screen_width_ - window->rect.width) / 2;
        window->rect.top = (screen_height_ - window->rect.height) / 2;
    }
    window->normal_rect = window->rect;
    const bool moved = window->rect.left != before.left || window->rect.top != before.top;
    const bool resized =
        was_shrunk_or_grown || window->rect.width != before.width || window->rect.height != before.height;
    if (moved) {
        Raise(self, EventKind::kMoved);
    }
    if (resized && FindWindow(name) != nullptr) {
        Raise(self, EventKind::kResized);
    }
}

void HeadlessDesktop::SetControlProperty(const ControlRef& ref, Property property, const PropertyValue& value) {
    ControlState* control = FindControl(ref);
    if (control == nullptr || !ControlHasProperty(control->kind(), property)) {
        return;
    }
    const std::int64_t number = PropertyNumber(value);
    switch (property) {
        case Property::kText:
            if (control->kind() != ControlKind::kEditBox) {
                control->caption = PropertyText(value);
                return;
            }
            // Like WM_SETTEXT: never limited, and content-changed even when the text is the same.
            control->edit.SetText(PropertyText(value));
            Raise(ref, EventKind::kContentChanged);
            return;
        case Property::kVisible:
            control->visible = number != 0;
            FocusAfterHiding();
            return;
        case Property::kDisabled:
            control->enabled = number == 0;
            FocusAfterHiding();
            return;
        case Property::kPeriod:
            // A new period restarts the timer from now; 0 or less stops it.
            control->period = std::max<std::int64_t>(number, 0);
            control->due = now_ms_ + control->period;
            control->started = ++timer_starts_;
            return;
        default:
            StorePlainControlProperty(*control, property, value);
            return;
    }
}

bool HeadlessDesktop::CanTakeFocus(const ControlRef& ref) const {
    if (ref.control.empty()) {
        const WindowState* window = FindWindow(ref.window);
        return window != nullptr && window->visible && window->enabled;
    }
    const ControlState* control = FindControl(ref);
    return control != nullptr && IsVisualKind(control->kind()) && AcceptsInput(ref);
}

void HeadlessDesktop::ChangeFocus(const ControlRef& to) {
    if (to == focus_) {
        return;
    }
    const ControlRef from = focus_;
    focus_ = to;
    if (WindowState* window = FindWindow(to.window)) {
        window->last_focus = to.control;
    }
    if (!from.window.empty() && Exists(from)) {
        Raise(from, EventKind::kLostFocus);
    }
    // A lost-focus handler that moved the focus elsewhere wins.
    if (focus_ == to && !to.window.empty() && Exists(to)) {
        Raise(to, EventKind::kGotFocus);
    }
}

void HeadlessDesktop::DeactivateWindow(const Text& window) {
    if (active_ == window && !window.empty()) {
        const Text name = window;  // `window` may be active_ itself
        active_.clear();
        Raise({name, {}}, EventKind::kDeactivated);
    }
}

void HeadlessDesktop::ActivateWindow(const Text& name, std::optional<ControlRef> focus) {
    const WindowState* window = FindWindow(name);
    if (window == nullptr || !window->visible) {
        return;
    }
    if (active_ != name) {
        DeactivateWindow(active_);
        active_ = name;
        WindowState* state = FindWindow(name);
        const bool first = state != nullptr && !state->activated_before;
        if (state != nullptr) {
            state->activated_before = true;
        }
        if (first) {
            Raise({name, {}}, EventKind::kFirstActivation);
        }
        if (active_ == name && FindWindow(name) != nullptr) {
            Raise({name, {}}, EventKind::kActivated);
        }
    }
    window = FindWindow(name);
    if (window == nullptr || active_ != name) {
        return;
    }
    if (!focus) {
        if (focus_.window == name) {
            return;
        }
        const ControlRef last{name, window->last_focus};
        if (!window->last_focus.empty() && CanTakeFocus(last)) {
            focus = last;
        } else {
            focus = FirstInTabOrder(name, {}, -1).value_or(ControlRef{name, {}});
        }
    }
    ChangeFocus(*focus);
}

std::optional<ControlRef> HeadlessDesktop::FirstInTabOrder(const Text& name, const Text& container, int page) const {
    const WindowState* window = FindWindow(name);
    if (window == nullptr) {
        return std::nullopt;
    }
    const ControlState* best = nullptr;
    for (const ControlState& control : window->controls) {
        const ControlTemplate& made = control.made_from;
        if (made.tab_position <= 0 || (!container.empty() && (made.container != container || made.page != page)) ||
            !CanTakeFocus({name, control.name()})) {
            continue;
        }
        if (best == nullptr || made.tab_position < best->made_from.tab_position) {
            best = &control;
        }
    }
    return best == nullptr ? std::nullopt : std::optional<ControlRef>(ControlRef{name, best->name()});
}

void HeadlessDesktop::MoveFocusInTabOrder(bool backwards) {
    const WindowState* window = FindWindow(focus_.window);
    if (window == nullptr) {
        return;
    }
    std::vector<const ControlState*> order;
    for (const ControlState& control : window->controls) {
        if (control.made_from.tab_position > 0 && CanTakeFocus({window->name(), control.name()})) {
            order.push_back(&control);
        }
    }
    if (order.empty()) {
        return;
    }
    std::stable_sort(order.begin(), order.end(), [](const ControlState* a, const ControlState* b) {
        return a->made_from.tab_position < b->made_from.tab_position;
    });
    const auto at = std::find_if(order.begin(), order.end(),
                                 [&](const ControlState* control) { return control->name() == focus_.control; });
    const int count = static_cast<int>(order.size());
    int index = backwards ? count - 1 : 0;
    if (at != order.end()) {
        const int current = static_cast<int>(at - order.begin());
        index = (current + (backwards ? count - 1 : 1)) % count;
    }
    ChangeFocus({window->name(), order[static_cast<std::size_t>(index)]->name()});
}

void HeadlessDesktop::FocusAfterHiding() {
    // A focused control that is hidden or disabled gives the focus to its window.
    if (!focus_.control.empty() && !CanTakeFocus(focus_)) {
        ChangeFocus({focus_.window, {}});
    }
}

void HeadlessDesktop::SetFocus(const ControlRef& ref) {
    ActionScope scope(*this);
    if (!CanTakeFocus(ref)) {
        return;
    }
    if (active_ != ref.window) {
        ActivateWindow(ref.window, ref);
    } else {
        ChangeFocus(ref);
    }
}

bool HeadlessDesktop::FocusForTyping(const ControlRef& ref) {
    if (ref.window.empty()) {
        return !focus_.window.empty();
    }
    if (!AcceptsInput(ref)) {
        return false;
    }
    if (active_ != ref.window) {
        ActivateWindow(ref.window, ref);
    } else {
        ChangeFocus(ref);
    }
    return focus_ == ref;
}

void HeadlessDesktop::FocusOnClick(const ControlRef& ref) {
    const ControlState* control = FindControl(ref);
    if (control != nullptr && control->made_from.focus_on_click && IsFocusableByClick(control->kind()) &&
        CanTakeFocus(ref)) {
        ChangeFocus(ref);
    }
}

bool HeadlessDesktop::Activate(const Text& window) {
    ActionScope scope(*this);
    if (!AcceptsInput({window, {}})) {
        return false;
    }
    ActivateWindow(window, std::nullopt);
    return active_ == window;
}

bool HeadlessDesktop::RequestClose(const Text& window) {
    ActionScope scope(*this);
    if (!AcceptsInput({window, {}})) {
        return false;
    }
    if (Raise({window, {}}, EventKind::kQueryClose)) {
        DestroyWindow(window);
    }
    return FindWindow(window) == nullptr;
}

bool HeadlessDesktop::MinimiseByUser(const Text& window) {
    ActionScope scope(*this);
    if (!AcceptsInput({window, {}})) {
        return false;
    }
    ApplyPositionState(window, 2);
    return true;
}

bool HeadlessDesktop::MoveWindowByUser(const Text& window, int left, int top) {
    ActionScope scope(*this);
    WindowState* state = FindWindow(window);
    if (state == nullptr || !AcceptsInput({window, {}})) {
        return false;
    }
    const bool moved = state->rect.left != left || state->rect.top != top;
    state->rect.left = left;
    state->rect.top = top;
    if (moved) {
        Raise({window, {}}, EventKind::kMoved);
    }
    return true;
}

bool HeadlessDesktop::ResizeWindowByUser(const Text& window, int width, int height) {
    ActionScope scope(*this);
    WindowState* state = FindWindow(window);
    if (state == nullptr || !AcceptsInput({window, {}})) {
        return false;
    }
    const bool resized = state->rect.width != width || state->rect.height != height;
    state->rect.width = width;
    state->rect.height = height;
    if (resized) {
        Raise({window, {}}, EventKind::kResized);
    }
    return true;
}

}  // namespace yz
