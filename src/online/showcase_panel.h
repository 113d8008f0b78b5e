#pragma once

// The showcase panel: four boxes and a button laid over the editor, through which a writer
// publishes one work (pen name, work name, motto, link) to the program's web server. Opening it
// slides the boxes in from both sides; the button drops in from above.

#include <functional>

#include "runtime/ui_service.h"
#include "settings/pen_name.h"

namespace yz {

class ShowcasePanel {
  public:
    // `close_panels` is the main window's return operation.
    ShowcasePanel(UiService& ui, PenName& pen_name, Text server_base_address, std::function<void()> close_panels)
        : ui_(ui),
          pen_name_(pen_name),
          server_base_address_(std::move(server_base_address)),
          close_panels_(std::move(close_panels)) {}

    // "作品展示 Alt+W": opens the panel, or closes it when it is open.
    void Toggle();
    // Each tick of 互助时钟: one step of the slide-in.
    void OnSlideTick();
    // Focus events of 书名框, 宣言框 and 链接框 (笔名框 is the pen name's).
    void OnBoxGotFocus(const ControlRef& box);
    void OnBoxLostFocus(const ControlRef& box);
    // A click on 展示按钮.
    void Publish();

  private:
    void Reset();
    void ShowBoxes(bool shown);

    UiService& ui_;
    PenName& pen_name_;
    Text server_base_address_;
    std::function<void()> close_panels_;
};

}  // namespace yz
