#include "app/panel_bindings.h"

#include "app/features.h"
#include "ui/names.h"

namespace yz {

namespace {

using namespace ui;

}  // namespace

void BindPanelsAndAppearance(UiService& ui, Features& f) {
    ui.Bind(加按钮, EventKind::kClicked, Always([&f] { f.encryption.Encrypt(); }));
    ui.Bind(解m按钮, EventKind::kClicked, Always([&f] { f.encryption.Decrypt(); }));
    ui.Bind(路径按钮, EventKind::kClicked, Always([&f] { f.encryption.ChooseFile(); }));
    ui.Bind(显隐选框, EventKind::kClicked, Always([&f] { f.encryption.ShowPassword(); }));
    ui.Bind(强制解析, EventKind::kClicked, Always([&f] { f.encryption.TogglePanel(); }));
    ui.Bind(主编框, EventKind::kGotFocus, Always([&f] { f.encryption.DeliverPendingText(); }));

    ui.Bind(透明滑条, EventKind::kPositionChanged, Always([&f] { f.transparency.OnSliderMoved(); }));
    ui.Bind(透明滑条, EventKind::kLeftButtonUp, Always([&f] { f.transparency.OnSliderReleased(); }));
    ui.Bind(颜色选择器1, EventKind::kColourChosen, Always([&f] { f.appearance.OnColourChosen(); }));
    for (const ControlRef* label : {&操作标签, &编辑标签, &功能标签, &设置标签, &帮助标签, &关闭标签}) {
        ui.Bind(*label, EventKind::kMouseMove, Always([&f, label] { f.hover.OnMouseMove(*label); }));
    }

    ui.Bind(底窗, EventKind::kTray, [&f](const Event& event) {
        f.hide.OnTrayEvent(event.a);
        return true;
    });
    for (const ControlRef* control : {&笔名框, &书名框, &宣言框, &链接框, &展示按钮, &作者列表, &加M文件名, &加解M框}) {
        ui.Bind(*control, EventKind::kKeyDown, [&f, control](const Event& event) {
            f.hide.OnPanelKey(*control, event.a);
            return true;
        });
    }

    const auto menu = [&ui](const char* caption, std::function<void()> handler) {
        ui.BindMenu(kMainWindow, caption, std::move(handler));
    };
    menu("文档加密 Alt+Q", [&f] { f.encryption.TogglePanel(); });
    menu("背景透明 Alt+T", [&f] { f.transparency.Toggle(); });
    menu("字体颜色 Alt+Y", [&f] { f.appearance.ColourCommand(); });
    menu("字体大小 Alt+U", [&f] { f.appearance.FontCommand(); });
    menu("配置还原 Alt+I", [&f] { f.appearance.RestoreDefaults(); });
}

}  // namespace yz
