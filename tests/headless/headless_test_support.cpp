#include "headless/headless_test_support.h"

namespace yz::test {

ControlTemplate MakeControl(ControlKind kind, const Text& name, int tab_position) {
    ControlTemplate control;
    control.kind = kind;
    control.name = name;
    control.rect = Rect{10, 10, 100, 24};
    control.tab_position = tab_position;
    return control;
}

WindowTemplate MakeWindow(const Text& name, std::vector<ControlTemplate> controls) {
    WindowTemplate window;
    window.name = name;
    window.rect = Rect{100, 50, 400, 300};
    window.title = name;
    window.controls = std::move(controls);
    return window;
}

void EventLog::Watch(const ControlRef& ref, std::initializer_list<EventKind> kinds, bool answer) {
    for (const EventKind kind : kinds) {
        ui_.Bind(ref, kind, [this, answer](const Event& event) {
            const Text& name = event.source.control.empty() ? event.source.window : event.source.control;
            lines_.push_back(name + ":" + EventName(event.kind));
            events_.push_back(event);
            return answer;
        });
    }
}

void EventLog::Clear() {
    lines_.clear();
    events_.clear();
}

const char* EventName(EventKind kind) {
    switch (kind) {
        case EventKind::kCreated:
            return "Created";
        case EventKind::kQueryClose:
            return "QueryClose";
        case EventKind::kMoved:
            return "Moved";
        case EventKind::kResized:
            return "Resized";
        case EventKind::kActivated:
            return "Activated";
        case EventKind::kDeactivated:
            return "Deactivated";
        case EventKind::kFirstActivation:
            return "FirstActivation";
        case EventKind::kTray:
            return "Tray";
        case EventKind::kLeftButtonDown:
            return "LeftButtonDown";
        case EventKind::kLeftButtonUp:
            return "LeftButtonUp";
        case EventKind::kDoubleClick:
            return "DoubleClick";
        case EventKind::kRightButtonDown:
            return "RightButtonDown";
        case EventKind::kRightButtonUp:
            return "RightButtonUp";
        case EventKind::kMouseMove:
            return "MouseMove";
        case EventKind::kGotFocus:
            return "GotFocus";
        case EventKind::kLostFocus:
            return "LostFocus";
        case EventKind::kKeyDown:
            return "KeyDown";
        case EventKind::kKeyUp:
            return "KeyUp";
        case EventKind::kCharacter:
            return "Character";
        case EventKind::kWheel:
            return "Wheel";
        case EventKind::kContentChanged:
            return "ContentChanged";
        case EventKind::kClicked:
            return "Clicked";
        case EventKind::kSelectionChanged:
            return "SelectionChanged";
        case EventKind::kPositionChanged:
            return "PositionChanged";
        case EventKind::kColourChosen:
            return "ColourChosen";
        case EventKind::kTick:
            return "Tick";
        case EventKind::kDatagramArrived:
            return "DatagramArrived";
        case EventKind::kNotification:
            return "Notification";
    }
    return "?";
}

}  // namespace yz::test
