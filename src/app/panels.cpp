#include "app/panels.h"

#include "ui/names.h"

namespace yz {

namespace {

using namespace ui;

void Show(UiService& ui, const ControlRef& ref, bool shown) {
    ui.SetProperty(ref, Property::kVisible, shown);
}

void Disable(UiService& ui, const ControlRef& ref, bool disabled) {
    ui.SetProperty(ref, Property::kDisabled, disabled);
}

void GiveEditorBack(UiService& ui) {
    ui.SetProperty(主编框, Property::kInputMode, std::int64_t{kInputNormal});
    Disable(ui, 主编框, false);
}

}  // namespace

void ReturnOperation(UiService& ui) {
    GiveEditorBack(ui);

    for (const ControlRef* box : {&笔名框, &宣言框, &链接框, &书名框, &展示按钮}) {
        Show(ui, *box, false);
    }
    for (const ControlRef* box : {&书名框, &展示按钮, &笔名框, &宣言框, &链接框}) {
        Disable(ui, *box, true);
    }

    for (const ControlRef* label : {&操作标签, &编辑标签, &功能标签, &设置标签, &帮助标签}) {
        Show(ui, *label, true);
        Disable(ui, *label, false);
    }

    Show(ui, 透明滑条, false);
    Disable(ui, 透明滑条, true);

    GiveEditorBack(ui);

    for (const ControlRef* control :
         {&透明标签, &加按钮, &路径按钮, &解m按钮, &解M地址, &强制解析, &加M文件名, &加解M框, &显隐选框}) {
        Show(ui, *control, false);
    }
    for (const ControlRef* control :
         {&加按钮, &路径按钮, &解m按钮, &解M地址, &强制解析, &加M文件名, &加解M框, &显隐选框}) {
        Disable(ui, *control, true);
    }

    Show(ui, 发言框, false);
    Disable(ui, 发言框, true);

    Show(ui, 返回超钮, false);
    Disable(ui, 返回超钮, true);

    ui.SetFocus(主编框);
}

}  // namespace yz
