#pragma once

// Small window templates and an event log for the headless desktop's own tests.

#include <string>
#include <vector>

#include "runtime/ui_service.h"

namespace yz::test {

ControlTemplate MakeControl(ControlKind kind, const Text& name, int tab_position = 0);
WindowTemplate MakeWindow(const Text& name, std::vector<ControlTemplate> controls = {});

// Records the events it watches as "name:Event" lines, the name being the control's, or the
// window's for window events; each watched handler answers as told.
class EventLog {
  public:
    explicit EventLog(UiService& ui) : ui_(ui) {}
    void Watch(const ControlRef& ref, std::initializer_list<EventKind> kinds, bool answer = true);
    const std::vector<std::string>& lines() const { return lines_; }
    const std::vector<Event>& events() const { return events_; }
    void Clear();

  private:
    UiService& ui_;
    std::vector<std::string> lines_;
    std::vector<Event> events_;
};

const char* EventName(EventKind kind);

}  // namespace yz::test
