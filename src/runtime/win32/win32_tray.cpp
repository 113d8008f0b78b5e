// The notification-area icon of a window.

#include "runtime/win32/win32_tray.h"

#include "runtime/win32/win32_desktop.h"

#include <shellapi.h>

#include <iterator>

#include "runtime/text.h"
#include "runtime/wide_win32.h"
#include "runtime/win32/win32_text_limit.h"

namespace yz {

std::wstring TrayTooltip(const Text& tooltip) {
    // Cut in GBK first: the limit is the program's byte count, not UTF-16 units.
    return WideFromGbk(CutGbkAtBoundary(tooltip, kTrayTooltipBytes));
}

void Win32Desktop::SetTrayIcon(const Text& name, const std::optional<Text>& picture, const Text& tooltip) {
    WindowState* window = FindWindowState(name);
    if (window == nullptr) {
        return;
    }
    HICON icon = picture ? IconFromPicture(*picture) : nullptr;
    if (icon == nullptr) {
        RemoveTrayIcon(window);
        return;
    }
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window->hwnd;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = icon;
    const std::wstring tip = TrayTooltip(tooltip);
    tip.copy(data.szTip, std::size(data.szTip) - 1);
    bool shown = window->tray_shown && Shell_NotifyIconW(NIM_MODIFY, &data);
    if (!shown) {
        shown = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;  // also when the shell has lost the icon
    }
    if (!shown) {
        DestroyIcon(icon);
        return;
    }
    if (window->tray_icon != nullptr) {
        DestroyIcon(window->tray_icon);
    }
    window->tray_icon = icon;
    window->tray_shown = true;
}

void Win32Desktop::RemoveTrayIcon(WindowState* window) {
    if (window->tray_shown) {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof(data);
        data.hWnd = window->hwnd;
        data.uID = kTrayIconId;
        Shell_NotifyIconW(NIM_DELETE, &data);
        window->tray_shown = false;
    }
    if (window->tray_icon != nullptr) {
        DestroyIcon(window->tray_icon);
        window->tray_icon = nullptr;
    }
}

}  // namespace yz
