#pragma once

// Brackets every call into the headless desktop: when the outermost call ends, the posted work
// runs, as the real event loop would get to it once the current message is handled.

#include "runtime/headless/headless_desktop.h"

namespace yz {

class ActionScope {
  public:
    explicit ActionScope(HeadlessDesktop& desktop) : desktop_(desktop) { ++desktop_.action_depth_; }
    ~ActionScope() {
        if (desktop_.action_depth_ == 1) {
            desktop_.DrainPosted();
        }
        --desktop_.action_depth_;
    }
    ActionScope(const ActionScope&) = delete;
    ActionScope& operator=(const ActionScope&) = delete;

  private:
    HeadlessDesktop& desktop_;
};

}  // namespace yz
