#include "runtime/headless/headless_desktop.h"

#include <algorithm>
#include <utility>

#include "runtime/clock.h"
#include "runtime/fatal_error.h"
#include "runtime/headless/headless_scope.h"

namespace yz {

HeadlessDesktop::HeadlessDesktop() = default;

HeadlessDesktop::~HeadlessDesktop() {
    if (owns_time_source_) {
        SetLocalTimeSource({});
    }
}

WindowState* HeadlessDesktop::FindWindow(const Text& window) {
    for (const auto& state : windows_) {
        if (state->name() == window) {
            return state.get();
        }
    }
    return nullptr;
}

const WindowState* HeadlessDesktop::FindWindow(const Text& window) const {
    return const_cast<HeadlessDesktop*>(this)->FindWindow(window);
}

ControlState* HeadlessDesktop::FindControl(const ControlRef& ref) {
    WindowState* window = FindWindow(ref.window);
    return window == nullptr || ref.control.empty() ? nullptr : window->Find(ref.control);
}

const ControlState* HeadlessDesktop::FindControl(const ControlRef& ref) const {
    return const_cast<HeadlessDesktop*>(this)->FindControl(ref);
}

bool HeadlessDesktop::Raise(const ControlRef& ref, EventKind kind, int a, int b, int c) {
    const auto found = handlers_.find({ref.window, ref.control, kind});
    if (found == handlers_.end()) {
        return true;
    }
    // The handler may rebind itself or close its window; the copy keeps it alive while it runs.
    const std::shared_ptr<EventHandler> handler = found->second;
    return RunHandlerWithFault([&] { return (*handler)(Event{kind, ref, a, b, c}); });
}

bool HeadlessDesktop::RunHandlerWithFault(const std::function<bool()>& handler) {
    if (fatal_) {
        return true;
    }
    try {
        if (fault_) {
            const std::function<void()> fault = std::exchange(fault_, nullptr);
            fault();
        }
        return handler();
    } catch (...) {
        fatal_ = true;
        ReportFatalException(*this);
        return true;
    }
}

void HeadlessDesktop::RunMenuHandler(std::shared_ptr<MenuHandler> handler) {
    RunHandlerWithFault([&] {
        (*handler)();
        return true;
    });
}

void HeadlessDesktop::DrainPosted() {
    for (;;) {
        while (!posted_.empty()) {
            std::function<void()> work = std::move(posted_.front());
            posted_.pop_front();
            work();
        }
        // Arrived datagrams wait in the queue behind the posted work, one event each.
        const std::optional<ControlRef> socket = datagrams_.TakeNext();
        if (!socket) {
            return;
        }
        Raise(*socket, EventKind::kDatagramArrived);
    }
}

void HeadlessDesktop::RunPending() {
    ActionScope scope(*this);
    DrainPosted();
}

void HeadlessDesktop::ReportProblem(const Text& problem) {
    problems_.push_back(problem);
    if (problem_handler_) {
        problem_handler_(problem);
    }
}

bool HeadlessDesktop::LoadWindow(const WindowTemplate& window, const Text& owner, bool modal) {
    ActionScope scope(*this);
    if (window.name.empty() || FindWindow(window.name) != nullptr || (!owner.empty() && FindWindow(owner) == nullptr)) {
        return false;
    }
    windows_.push_back(BuildWindow(window, owner, modal, Rect{0, 0, screen_width_, screen_height_}));
    datagrams_.OpenWindow(window);
    const Text name = window.name;
    const ControlRef self{name, {}};
    if (WindowState* owner_state = modal ? FindWindow(owner) : nullptr) {
        owner_state->enabled = false;
    }
    for (const EventKind kind : {EventKind::kCreated, EventKind::kMoved, EventKind::kResized}) {
        if (FindWindow(name) != nullptr) {
            Raise(self, kind);
        }
    }
    if (const WindowState* state = FindWindow(name); state != nullptr && state->visible) {
        ActivateWindow(name, std::nullopt);
    }
    if (modal) {
        RunModalLoop(name);
        if (WindowState* owner_state = FindWindow(owner)) {
            owner_state->enabled = true;
            ActivateWindow(owner, std::nullopt);
        }
    }
    return true;
}

void HeadlessDesktop::CloseWindow(const Text& window, bool at_once) {
    ActionScope scope(*this);
    if (at_once) {
        DestroyWindow(window);
    } else {
        Post([this, window] { DestroyWindow(window); });
    }
}

void HeadlessDesktop::DestroyWindow(const Text& window) {
    if (FindWindow(window) == nullptr) {
        return;
    }
    // The system destroys owned windows with their owner, before it.
    std::vector<Text> owned;
    for (const auto& state : windows_) {
        if (state->owner == window) {
            owned.push_back(state->name());
        }
    }
    for (const Text& name : owned) {
        DestroyWindow(name);
    }
    if (focus_.window == window) {
        const ControlRef lost = focus_;
        focus_ = {};
        Raise(lost, EventKind::kLostFocus);
    }
    const WindowState* state = FindWindow(window);
    if (state == nullptr) {
        return;
    }
    const Text owner = state->owner;
    const bool was_active = active_ == window;
    hot_keys_.DropWindow(window);
    datagrams_.CloseWindow(window);
    std::erase_if(windows_, [&](const auto& candidate) { return candidate->name() == window; });
    if (was_active) {
        active_.clear();
        const WindowState* owner_state = FindWindow(owner);
        if (owner_state != nullptr && owner_state->visible && owner_state->enabled) {
            ActivateWindow(owner, std::nullopt);
        }
    }
}

bool HeadlessDesktop::Exists(const ControlRef& ref) const {
    const WindowState* window = FindWindow(ref.window);
    if (window == nullptr || ref.control.empty()) {
        return window != nullptr;
    }
    if (window->Find(ref.control) != nullptr) {
        return true;
    }
    return std::any_of(window->made_from.menus.begin(), window->made_from.menus.end(),
                       [&](const MenuEntry& entry) { return entry.caption == ref.control; });
}

ControlRef HeadlessDesktop::FocusedControl() const {
    return focus_;
}

PropertyValue HeadlessDesktop::GetProperty(const ControlRef& ref, Property property) const {
    if (ref.control.empty()) {
        const WindowState* window = FindWindow(ref.window);
        return window == nullptr ? EmptyPropertyValue(property) : ReadWindowProperty(*window, property);
    }
    const ControlState* control = FindControl(ref);
    return control == nullptr ? EmptyPropertyValue(property) : ReadControlProperty(*control, property);
}

void HeadlessDesktop::SetProperty(const ControlRef& ref, Property property, const PropertyValue& value) {
    ActionScope scope(*this);
    if (ref.control.empty()) {
        SetWindowProperty(ref.window, property, value);
    } else {
        SetControlProperty(ref, property, value);
    }
}

void HeadlessDesktop::Bind(const ControlRef& ref, EventKind event, EventHandler handler) {
    if (handler) {
        handlers_[{ref.window, ref.control, event}] = std::make_shared<EventHandler>(std::move(handler));
    } else {
        handlers_.erase({ref.window, ref.control, event});
    }
}

void HeadlessDesktop::BindMenu(const Text& window, const Text& caption, MenuHandler handler) {
    if (handler) {
        menu_handlers_[{window, caption}] = std::make_shared<MenuHandler>(std::move(handler));
    } else {
        menu_handlers_.erase({window, caption});
    }
}

std::set<std::tuple<Text, Text, EventKind>> HeadlessDesktop::BoundEvents() const {
    std::set<std::tuple<Text, Text, EventKind>> bound;
    for (const auto& [key, handler] : handlers_) {
        bound.insert(key);
    }
    return bound;
}

std::set<std::pair<Text, Text>> HeadlessDesktop::BoundMenus() const {
    std::set<std::pair<Text, Text>> bound;
    for (const auto& [key, handler] : menu_handlers_) {
        bound.insert(key);
    }
    return bound;
}

void HeadlessDesktop::EndProgram(int exit_code) {
    ActionScope scope(*this);
    exit_code_ = exit_code;
    ended_ = true;
    std::vector<Text> names;
    for (const auto& window : windows_) {
        names.push_back(window->name());
    }
    for (const Text& name : names) {
        DestroyWindow(name);
    }
    // The event loop stops: what was posted and not yet handled never runs.
    posted_.clear();
}

bool HeadlessDesktop::RaiseEvent(const Event& event) {
    ActionScope scope(*this);
    return Exists(event.source) ? Raise(event.source, event.kind, event.a, event.b, event.c) : false;
}

void HeadlessDesktop::PostEvent(const Event& event) {
    Post([this, event] {
        if (Exists(event.source)) {
            Raise(event.source, event.kind, event.a, event.b, event.c);
        }
    });
}

bool HeadlessDesktop::IsEffectivelyVisible(const ControlRef& ref) const {
    const WindowState* window = FindWindow(ref.window);
    if (window == nullptr || !window->visible) {
        return false;
    }
    ControlRef at = ref;
    // A page control is a child of its tab control: hidden with it whatever its own flag says.
    for (int depth = 0; !at.control.empty(); ++depth) {
        const ControlState* control = window->Find(at.control);
        if (control == nullptr || !IsVisualKind(control->kind()) || !control->visible || depth > 64) {
            return false;
        }
        at.control = control->made_from.container;
    }
    return true;
}

bool HeadlessDesktop::IsEffectivelyEnabled(const ControlRef& ref) const {
    const WindowState* window = FindWindow(ref.window);
    if (window == nullptr || !window->enabled) {
        return false;
    }
    ControlRef at = ref;
    for (int depth = 0; !at.control.empty(); ++depth) {
        const ControlState* control = window->Find(at.control);
        if (control == nullptr || !control->enabled || depth > 64) {
            return false;
        }
        at.control = control->made_from.container;
    }
    return true;
}

bool HeadlessDesktop::AcceptsInput(const ControlRef& ref) const {
    const WindowState* window = FindWindow(ref.window);
    return window != nullptr && !window->minimised && IsEffectivelyVisible(ref) && IsEffectivelyEnabled(ref);
}

}  // namespace yz
