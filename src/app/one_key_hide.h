#pragma once

// The one-key hide: Esc as a global hotkey minimises both windows behind a notification-area icon,
// whose click brings them back. When the Esc hotkey could not be registered, Esc reaches the
// editor and the panel controls, which hide the program without the icon by making the main
// window almost transparent; that is undone when the main window is next activated.

#include "crypto/encryption_panel.h"
#include "runtime/ui_service.h"

namespace yz {

class OneKeyHide {
  public:
    OneKeyHide(UiService& ui, EncryptionPanel& encryption);

    // The Esc hotkey.
    void HideToTray();
    // The backdrop's tray event: 1 or 3 (a button released on the icon) restores; 2 does nothing.
    void OnTrayEvent(int action);

    // Key-down in the editor: Esc hides. Never swallows the key.
    void OnEditorKey(int virtual_key);
    // Key-down in a feature panel's control (笔名框, 书名框, 宣言框, 链接框, 展示按钮, 作者列表,
    // 加M文件名, 加解M框): Esc hides; any key in 链接框 first closes an open encryption panel.
    void OnPanelKey(const ControlRef& control, int virtual_key);

    // The main window was activated: a key-press hide is undone.
    void OnMainActivated();

  private:
    UiService& ui_;
    EncryptionPanel& encryption_;
    bool key_press_hidden_ = false;
};

}  // namespace yz
