#pragma once

// The online features together: the pen name, the showcase panel and ticker, the start-up steps,
// feedback and announcements, with the bindings of their handlers.

#include <functional>

#include "online/feedback.h"
#include "online/online_startup.h"
#include "online/showcase_panel.h"
#include "online/showcase_ticker.h"
#include "settings/pen_name.h"

namespace yz {

class OnlineFeatures {
  public:
    // `close_panels` is the main window's return operation.
    OnlineFeatures(UiService& ui,
                   const OnlineAddresses& addresses,
                   Text& address_text,
                   bool& feedback_sent,
                   std::function<void()> close_panels)
        : pen_name(ui),
          panel(ui, pen_name, addresses.server_base_address, std::move(close_panels)),
          ticker(ui, pen_name, addresses.server_base_address),
          startup(ui, addresses, address_text, feedback_sent),
          feedback(ui, addresses.server_base_address, feedback_sent),
          announcements(ui, addresses.server_base_address, feedback_sent),
          ui_(ui) {}

    // Binds the handlers of these features to their controls, windows and menu entries.
    void Bind();

    PenName pen_name;
    ShowcasePanel panel;
    ShowcaseTicker ticker;
    OnlineStartup startup;
    Feedback feedback;
    Announcements announcements;

  private:
    UiService& ui_;
};

}  // namespace yz
