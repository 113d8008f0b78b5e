#pragma once

// The online steps of the program's start: the server's reachability decides between an offline
// run (a red notice, no online timer) and an online one (the monthly tutorial visit, the version
// notice, the public-address lookup and the start of the ticker, presence and announcement
// timers).

#include "runtime/ui_service.h"

namespace yz {

struct OnlineAddresses {
    Text server_base_address;
    Text ip_lookup_address;
    Text tutorial_address;
};

class OnlineStartup {
  public:
    OnlineStartup(UiService& ui, OnlineAddresses addresses, Text& address_text, bool& feedback_sent)
        : ui_(ui), addresses_(std::move(addresses)), address_text_(address_text), feedback_sent_(feedback_sent) {}

    // Runs once, after the main window is shown. True when the server was reachable.
    bool Run();

  private:
    void ShowNotice(const Text& rich_text, bool flag);
    void VisitTutorialMonthly();
    void CheckVersion();

    UiService& ui_;
    OnlineAddresses addresses_;
    Text& address_text_;
    bool& feedback_sent_;
};

}  // namespace yz
