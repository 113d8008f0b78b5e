#include "settings/hover_highlight.h"

#include "ui/names.h"

namespace yz {

namespace {

using namespace ui;

constexpr int kHighlightMs = 600;

struct Band {
    const ControlRef* label;
    int dx_above;
    int dx_below;
    int dy_above;
    int dy_below;
};

// Exclusive bounds of the pointer relative to the main window's corner.
constexpr int kFar = 1 << 30;

bool InBand(const ControlRef& label, int dx, int dy) {
    const Band bands[] = {
        {&操作标签, -kFar, 56, -kFar, 36}, {&编辑标签, 61, 113, 0, 36},  {&功能标签, 118, 170, 0, 36},
        {&设置标签, 175, 228, 0, 36},      {&帮助标签, 232, 285, 0, 36}, {&关闭标签, 440, kFar, -kFar, 36},
    };
    for (const Band& band : bands) {
        if (*band.label == label) {
            return dx > band.dx_above && dx < band.dx_below && dy > band.dy_above && dy < band.dy_below;
        }
    }
    return false;
}

}  // namespace

HoverHighlight::HoverHighlight(UiService& ui) : ui_(ui) {}

void HoverHighlight::OnMouseMove(const ControlRef& label) {
    const int dx = ui_.CursorX() - static_cast<int>(GetNumber(ui_, 主窗, Property::kLeft));
    const int dy = ui_.CursorY() - static_cast<int>(GetNumber(ui_, 主窗, Property::kTop));
    if (!InBand(label, dx, dy)) {
        return;
    }
    ui_.SetProperty(label, Property::kTextColour, std::int64_t{kRed});
    if (label == 操作标签) {
        ui_.SetProperty(label, Property::kTextColour, std::int64_t{kBlue});
        return;
    }
    ++moves_[label.control];
    if (waiting_[label.control]) {
        return;
    }
    waiting_[label.control] = true;
    unsigned seen = 0;
    do {
        seen = moves_[label.control];
        ui_.DelayWithEvents(kHighlightMs);
    } while (moves_[label.control] != seen && ui_.Exists(label));
    waiting_[label.control] = false;
    ui_.SetProperty(label, Property::kTextColour, std::int64_t{kBlue});
}

}  // namespace yz
