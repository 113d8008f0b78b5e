// Global hotkeys. The watched window's procedure is wrapped once; a WM_HOTKEY with one of our
// identifiers is sent on to the receiver as kHotKeyNotifyMessage, and every message still reaches
// the wrapped procedure.

#include "runtime/win32/win32_hotkeys.h"

#include "runtime/win32/win32_desktop.h"

namespace yz {

UINT HotKeyModifierFlags(int modifier) {
    switch (modifier) {
        case 0:
            return 0;
        case 1:
            return MOD_CONTROL;
        case 2:
            return MOD_SHIFT;
        case 3:
            return MOD_CONTROL | MOD_SHIFT;
        case 4:
            return MOD_ALT;
        case 5:
            return MOD_CONTROL | MOD_ALT;
        case 6:
            return MOD_SHIFT | MOD_ALT;
        default:
            return static_cast<UINT>(modifier);
    }
}

int Win32Desktop::RegisterGlobalHotKey(const Text& watched_window,
                                       const ControlRef& receiver,
                                       int modifier,
                                       int virtual_key) {
    hotkey_receiver_ = receiver;
    const WindowState* watched = FindWindowState(watched_window);
    HWND hwnd = watched != nullptr ? watched->hwnd : nullptr;
    if (hwnd != nullptr && !hotkey_previous_procs_.contains(hwnd)) {
        hotkey_previous_procs_[hwnd] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HotKeyWindowProc)));
    }
    // A failed registration still uses up its identifier.
    const int id = kFirstHotKeyId + hotkey_count_;
    ++hotkey_count_;
    const bool registered =
        hwnd != nullptr && RegisterHotKey(hwnd, id, HotKeyModifierFlags(modifier), static_cast<UINT>(virtual_key));
    return registered ? id : 0;
}

LRESULT CALLBACK Win32Desktop::HotKeyWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Win32Desktop* desktop = current_;
    WNDPROC previous = DefWindowProcW;
    if (desktop != nullptr) {
        const auto found = desktop->hotkey_previous_procs_.find(hwnd);
        if (found != desktop->hotkey_previous_procs_.end()) {
            previous = found->second;
            if (message == WM_NCDESTROY) {
                desktop->hotkey_previous_procs_.erase(found);
            }
        }
        const auto id = static_cast<int>(wparam);
        if (message == WM_HOTKEY && id >= kFirstHotKeyId && id < kFirstHotKeyId + desktop->hotkey_count_) {
            if (HWND receiver = desktop->Handle(desktop->hotkey_receiver_)) {
                SendMessageW(receiver, kHotKeyNotifyMessage, wparam, 0);
            }
        }
    }
    return CallWindowProcW(previous, hwnd, message, wparam, lparam);
}

}  // namespace yz
