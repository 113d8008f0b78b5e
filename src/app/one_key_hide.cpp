#include "app/one_key_hide.h"

#include "settings/config_keys.h"
#include "ui/names.h"

namespace yz {

namespace {

using namespace ui;

constexpr int kVkEscape = 27;
constexpr int kHiddenAlpha = 6;
constexpr std::int64_t kMinimised = 2;
constexpr std::int64_t kNormal = 0;
const Text kTrayTooltip = "砚舟文匣 --霁川软件 鼠标单击还原";

void Hide(UiService& ui, const ControlRef& ref) {
    ui.SetProperty(ref, Property::kVisible, false);
    ui.SetProperty(ref, Property::kDisabled, true);
}

}  // namespace

OneKeyHide::OneKeyHide(UiService& ui, EncryptionPanel& encryption) : ui_(ui), encryption_(encryption) {}

void OneKeyHide::HideToTray() {
    ui_.SetTrayIcon(kBackdropWindow, kTrayPicture, kTrayTooltip);
    ui_.SetProperty(底窗, Property::kPositionState, kMinimised);
    ui_.SetProperty(主窗, Property::kPositionState, kMinimised);
}

void OneKeyHide::OnTrayEvent(int action) {
    if (action != 1 && action != 3) {
        return;
    }
    ui_.SetTrayIcon(kBackdropWindow, std::nullopt, Text());
    ui_.SetProperty(主窗, Property::kPositionState, kNormal);
    ui_.SetProperty(底窗, Property::kPositionState, kNormal);
}

void OneKeyHide::OnEditorKey(int virtual_key) {
    if (virtual_key != kVkEscape) {
        return;
    }
    ui_.SetProperty(主编框, Property::kDisabled, true);
    ui_.SetFocus(主窗);
    ui_.SetProperty(主窗, Property::kAlwaysOnTop, true);
    ui_.SetWindowAlpha(kMainWindow, kHiddenAlpha);
    ui_.SetWindowAlpha(kBackdropWindow, kHiddenAlpha);
    ui_.SetProperty(主窗, Property::kPositionState, kMinimised);
    ui_.SetProperty(底窗, Property::kPositionState, kMinimised);
    key_press_hidden_ = true;
}

void OneKeyHide::OnPanelKey(const ControlRef& control, int virtual_key) {
    if (control == 链接框 && encryption_.IsOpen()) {
        encryption_.TogglePanel();
    }
    if (virtual_key != kVkEscape) {
        return;
    }
    if (GetFlag(ui_, 发言框, Property::kVisible)) {
        Hide(ui_, 发言框);
    }
    if (control == 加M文件名 || control == 加解M框 || (control == 作者列表 && encryption_.IsOpen())) {
        encryption_.TogglePanel();
    }
    Hide(ui_, 作者列表);
    for (const ControlRef* box : {&笔名框, &宣言框, &链接框, &书名框, &展示按钮}) {
        ui_.SetProperty(*box, Property::kVisible, false);
    }
    for (const ControlRef* box : {&笔名框, &宣言框, &链接框, &书名框, &展示按钮, &主编框}) {
        ui_.SetProperty(*box, Property::kDisabled, true);
    }
    ui_.SetFocus(主窗);
    ui_.SetProperty(主窗, Property::kAlwaysOnTop, true);
    ui_.SetWindowAlpha(kMainWindow, kHiddenAlpha);
    key_press_hidden_ = true;
}

void OneKeyHide::OnMainActivated() {
    if (!key_press_hidden_) {
        return;
    }
    key_press_hidden_ = false;
    // The colour key alone makes the window opaque again apart from its white, as at start.
    ui_.SetColourKey(kMainWindow, kWhite);
    ui_.SetProperty(主窗, Property::kAlwaysOnTop, false);
    ui_.SetWindowAlpha(kBackdropWindow, ReadBackdropAlpha());
    // With no panel open the editor is given back; an open panel keeps it until its return.
    if (!GetFlag(ui_, 返回超钮, Property::kVisible)) {
        ui_.SetProperty(主编框, Property::kDisabled, false);
    }
}

}  // namespace yz
