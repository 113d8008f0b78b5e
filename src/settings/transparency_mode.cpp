#include "settings/transparency_mode.h"

#include "runtime/convert.h"
#include "settings/config_keys.h"
#include "ui/names.h"
#include "ui/status_line.h"

namespace yz {

using namespace ui;

int TransparencyPercentage(std::int64_t position) {
    return 100 - static_cast<int>(static_cast<double>(position) * 100.0 / 255.0);
}

void ApplySliderAlpha(UiService& ui) {
    ui.SetWindowAlpha(kBackdropWindow, static_cast<int>(GetNumber(ui, 透明滑条, Property::kSliderPosition)));
}

TransparencyMode::TransparencyMode(UiService& ui, std::function<void()> return_operation)
    : ui_(ui), return_operation_(std::move(return_operation)) {}

void TransparencyMode::Toggle() {
    const bool was_open = GetFlag(ui_, 透明滑条, Property::kVisible);
    return_operation_();
    if (was_open) {
        return;
    }
    ui_.SetProperty(主编框, Property::kDisabled, true);
    ui_.SetProperty(主编框, Property::kInputMode, std::int64_t{kInputMasked});
    ui_.SetProperty(透明滑条, Property::kVisible, true);
    ui_.SetProperty(透明滑条, Property::kDisabled, false);
    ui_.SetProperty(透明滑条, Property::kSliderPosition, std::int64_t{ReadBackdropAlpha()});
    const std::int64_t position = GetNumber(ui_, 透明滑条, Property::kSliderPosition);
    ShowStatus(ui_, " --霁川软件 当前[背景透明]度为:" + ToText(TransparencyPercentage(position)) +
                        " 请移动滑条设置背景透明度");
    ui_.SetProperty(透明标签, Property::kText, Text());
    ui_.SetProperty(透明标签, Property::kVisible, true);
    for (const ControlRef* label : {&操作标签, &编辑标签, &功能标签, &设置标签, &帮助标签}) {
        ui_.SetProperty(*label, Property::kVisible, false);
        ui_.SetProperty(*label, Property::kDisabled, true);
    }
    ui_.SetProperty(返回超钮, Property::kVisible, true);
    ui_.SetProperty(返回超钮, Property::kDisabled, false);
    // The editor that had the focus is disabled now; the arrow keys move the slider.
    ui_.SetFocus(透明滑条);
}

void TransparencyMode::OnSliderMoved() {
    const std::int64_t position = GetNumber(ui_, 透明滑条, Property::kSliderPosition);
    ui_.SetWindowAlpha(kBackdropWindow, static_cast<int>(position));
    const Text percentage = ToText(TransparencyPercentage(position));
    // Said on the status line: a box at every step of a drag would stop the drag.
    if (!WriteBackdropAlpha(static_cast<std::int32_t>(position))) {
        ShowStatus(ui_, " --霁川软件 [背景透明]度:" + percentage + " 无法写入配置文件,下次启动不会保留");
        return;
    }
    ShowStatus(ui_, " --霁川软件 您已设置[背景透明]度:" + percentage);
}

void TransparencyMode::OnSliderReleased() {
    return_operation_();
}

}  // namespace yz
