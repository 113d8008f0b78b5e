#pragma once

// The hover highlight of the top line: a label the pointer moves over flashes red and goes back to
// blue 600 ms after the pointer last moved over it.

#include <map>

#include "runtime/ui_service.h"

namespace yz {

class HoverHighlight {
  public:
    explicit HoverHighlight(UiService& ui);

    // Mouse-move event of one of the six labels of the top line (the pointer read from the screen,
    // relative to the main window).
    void OnMouseMove(const ControlRef& label);

  private:
    UiService& ui_;
    // Per label: pointer movements seen, and whether a highlight is waiting. A movement during the
    // wait prolongs the running highlight instead of nesting another wait inside it, which would
    // deepen the stack for as long as the pointer keeps moving.
    std::map<Text, unsigned> moves_;
    std::map<Text, bool> waiting_;
};

}  // namespace yz
