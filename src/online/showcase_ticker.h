#pragma once

// The showcase ticker: every tick of 播报时钟 shows the next published work on 播报标签, and a
// click on it either records a mutual-help visit to that work (then opens it in the browser) or,
// on the writer's own work, lists the writers who visited it in 作者列表.
//
// The showcase list is the "/cxzp.asp" answer cut at "<br>"; each entry is
// pen name "|" work name "|" motto "|" link. It is fetched while it is empty and then kept for the
// run. The mutual-help records of a work are pen names, each followed by "~".

#include <optional>

#include "online/web_answers.h"
#include "runtime/ui_service.h"
#include "settings/pen_name.h"

namespace yz {

class ShowcaseTicker {
  public:
    ShowcaseTicker(UiService& ui, PenName& pen_name, Text server_base_address)
        : ui_(ui), pen_name_(pen_name), server_base_address_(std::move(server_base_address)) {}

    void OnTick();
    // Mouse over 播报标签 (client coordinates).
    void OnMouseMove(int x, int y);
    // Left button on 播报标签.
    void OnClick();
    // "互助当前作品" and "查询互助记录" (also reached through a click).
    void Visit();
    void ListOwnVisitors();

    const TextList& showcase_list() const { return showcase_list_; }

  private:
    UiService& ui_;
    PenName& pen_name_;
    Text server_base_address_;
    TextList showcase_list_;
    int index_ = 0;  // 1-based position of the entry shown; 0 before the first
    // The entry shown; only entries with all four fields are ever shown.
    std::optional<WorkEntry> current_entry_;
};

}  // namespace yz
