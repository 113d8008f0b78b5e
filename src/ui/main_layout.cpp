#include "ui/main_layout.h"

#include "ui/names.h"

namespace yz::ui {

namespace {

void Place(UiService& ui,
           const ControlRef& ref,
           std::optional<int> left,
           std::optional<int> top,
           std::optional<int> width = std::nullopt,
           std::optional<int> height = std::nullopt) {
    if (left) {
        ui.SetProperty(ref, Property::kLeft, std::int64_t{*left});
    }
    if (top) {
        ui.SetProperty(ref, Property::kTop, std::int64_t{*top});
    }
    if (width) {
        ui.SetProperty(ref, Property::kWidth, std::int64_t{*width});
    }
    if (height) {
        ui.SetProperty(ref, Property::kHeight, std::int64_t{*height});
    }
}

// Distances of the lower part from the window's bottom edge. With the 645-pixel window the editor
// runs from 36 to 538, the ticker stands at 539 and the author list at 556, all above the bottom
// of the 610-pixel background picture.
constexpr int kEditorTop = 36;
constexpr int kEditorBottomGap = 143;
constexpr int kTickerBottomGap = 106;
constexpr int kListBottomGap = 89;
constexpr int kOverlayBottomGap = 135;

}  // namespace

void LayOutMainWindow(UiService& ui) {
    const int w = static_cast<int>(GetNumber(ui, 主窗, Property::kWidth));
    const int h = static_cast<int>(GetNumber(ui, 主窗, Property::kHeight));

    Place(ui, 主编框, 2, kEditorTop, w - 45, h - kEditorBottomGap);
    Place(ui, 标题标签, 0, 0);

    const std::pair<const ControlRef*, int> top_line[] = {
        {&操作标签, 5}, {&编辑标签, 62}, {&功能标签, 119}, {&设置标签, 176}, {&帮助标签, 233}, {&关闭标签, 443},
    };
    for (const auto& [label, left] : top_line) {
        Place(ui, *label, left, 19);
    }

    Place(ui, 播报标签, 0, h - kTickerBottomGap, w - 45, 18);
    Place(ui, 作者列表, 0, h - kListBottomGap, w - 38, 35);
    Place(ui, 关作标签, w - 35, h - kListBottomGap);

    Place(ui, 透明标签, 0, 0, w - 45, h - kOverlayBottomGap);
    const int overlay_left = static_cast<int>(GetNumber(ui, 透明标签, Property::kLeft));
    const std::pair<const ControlRef*, int> encryption_panel[] = {
        {&加M文件名, 120}, {&解M地址, 210}, {&路径按钮, 336}, {&加解M框, 120},
        {&显隐选框, 326},  {&加按钮, 120},  {&解m按钮, 220},  {&强制解析, 320},
    };
    for (const auto& [control, offset] : encryption_panel) {
        Place(ui, *control, overlay_left + offset, std::nullopt);
    }

    Place(ui, 发言框, 5, 400, w - 66, 100);
    Place(ui, 气球客服, w - 45, std::nullopt);
}

}  // namespace yz::ui
