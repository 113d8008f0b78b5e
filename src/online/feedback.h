#pragma once

// The feedback window, through which a writer sends a suggestion to the developers, and the
// announcement window that the server can make appear every five minutes. They share the
// feedback-sent flag: after a feedback the next announcement tick only clears it, so the writer
// sends at most one feedback per announcement period.

#include "runtime/ui_service.h"

namespace yz {

class Feedback {
  public:
    Feedback(UiService& ui, Text server_base_address, bool& feedback_sent)
        : ui_(ui), server_base_address_(std::move(server_base_address)), feedback_sent_(feedback_sent) {}

    // "建议反馈 [收集]": the feedback window, modal over the main window.
    void Open();
    void OnCreated();
    // 提交按钮.
    void Submit();

  private:
    UiService& ui_;
    Text server_base_address_;
    bool& feedback_sent_;
};

class Announcements {
  public:
    Announcements(UiService& ui, Text server_base_address, bool& feedback_sent)
        : ui_(ui), server_base_address_(std::move(server_base_address)), feedback_sent_(feedback_sent) {}

    // Each tick of 广告时钟.
    void OnTick();
    // The announcement window's creation and a click on it (either button released).
    void OnCreated();
    void OnClick();

  private:
    UiService& ui_;
    Text server_base_address_;
    bool& feedback_sent_;
    Text link_;  // part 2 of the announcement shown
};

}  // namespace yz
