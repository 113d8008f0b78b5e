#include "app/menus.h"

#include "ui/names.h"

namespace yz {

namespace {

using namespace ui;

struct MenuLabel {
    const ControlRef* label;
    const Text* menu;
    int offset;
};

const MenuLabel kMenuLabels[] = {
    {&操作标签, &操作菜单, 5},   {&编辑标签, &编辑菜单, 62},  {&功能标签, &功能菜单, 118},
    {&设置标签, &设置菜单, 176}, {&帮助标签, &帮助菜单, 233},
};

constexpr int kMenuTopOffset = 36;

}  // namespace

void OpenLabelMenu(UiService& ui, const ControlRef& label) {
    const MenuLabel* clicked = nullptr;
    for (const MenuLabel& entry : kMenuLabels) {
        if (*entry.label == label) {
            clicked = &entry;
        } else {
            ui.SetProperty(*entry.label, Property::kTextColour, std::int64_t{kBlue});
        }
    }
    ui.SetProperty(关闭标签, Property::kTextColour, std::int64_t{kBlue});
    if (clicked == nullptr) {
        return;
    }
    ui.SetProperty(label, Property::kTextColour, std::int64_t{kRed});
    const auto left = static_cast<int>(GetNumber(ui, 主窗, Property::kLeft));
    const auto top = static_cast<int>(GetNumber(ui, 主窗, Property::kTop));
    ui.PopupMenu(kMainWindow, *clicked->menu, left + clicked->offset, top + kMenuTopOffset);
}

void MarkCloseLabel(UiService& ui) {
    for (const MenuLabel& entry : kMenuLabels) {
        ui.SetProperty(*entry.label, Property::kTextColour, std::int64_t{kBlue});
    }
    ui.SetProperty(关闭标签, Property::kTextColour, std::int64_t{kRed});
}

}  // namespace yz
