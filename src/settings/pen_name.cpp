#include "settings/pen_name.h"

#include "runtime/text.h"
#include "settings/config_keys.h"
#include "ui/names.h"
#include "ui/placeholder_box.h"

namespace yz {

using namespace ui;

void PenName::OnGotFocus() {
    EnterPlaceholderBox(ui_, 笔名框, kPenNamePlaceholder, " --霁川软件 笔名/昵称 (长度:不得超过8个汉字或16个字符) ");
}

void PenName::OnLostFocus() {
    LeavePlaceholderBox(ui_, 笔名框, kPenNamePlaceholder);
}

const Text& PenName::Reload() {
    copy_ = ReadStoredPenName();
    return copy_;
}

void PenName::LoadIntoPanel() {
    if (!Reload().empty()) {
        ui_.SetProperty(笔名框, Property::kText, copy_);
        ui_.SetProperty(笔名框, Property::kDisabled, true);
    }
}

std::optional<Text> PenName::Check() const {
    const Text box = GetText(ui_, 笔名框, Property::kText);
    if (box.empty() || box == kPenNamePlaceholder) {
        return Text("笔名框不能接受空数据,请设置您的笔名.");
    }
    // "~" and "|" separate the records and fields of the server's answers.
    if (FindText(box, "~") != -1 || FindText(box, "|") != -1) {
        return Text("笔名不得带有非法符号,请重新设置您的笔名.");
    }
    return std::nullopt;
}

void PenName::Store() {
    const Text box = GetText(ui_, 笔名框, Property::kText);
    if (box != copy_) {
        WriteStoredPenName(box);
    }
}

}  // namespace yz
