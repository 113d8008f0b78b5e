// The message loops: the main one, a modal window's, DelayWithEvents; and what every loop does to
// a message before dispatching it: menu shortcuts, key-down swallowing, Tab between controls.

#include "runtime/win32/win32_desktop.h"

#include <algorithm>

namespace yz {

namespace {

bool IsExtendedKey(int key) {
    switch (key) {
        case VK_INSERT:
        case VK_DELETE:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_RCONTROL:
        case VK_RMENU:
        case VK_DIVIDE:
        case VK_NUMLOCK:
        case VK_LWIN:
        case VK_RWIN:
        case VK_APPS:
            return true;
        default:
            return false;
    }
}

}  // namespace

void Win32Desktop::Dispatch(MSG& message) {
    if (TranslateShortcut(message)) {
        return;
    }
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        // The key-down handler runs first; a swallowed key is never translated into a character.
        key_swallowed_ = false;
        DispatchMessageW(&message);
        if (key_swallowed_) {
            return;
        }
        if (message.message == WM_KEYDOWN && message.wParam == VK_TAB &&
            MoveFocusByTab(message.hwnd, GetKeyState(VK_SHIFT) < 0)) {
            return;
        }
        TranslateMessage(&message);
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

// Keys that SimulateKeys injects carry this mark. The edit commands inject the very chords that are
// their menu entries' shortcuts (Ctrl+Z runs "undo", which injects Ctrl+Z): were an injected chord
// translated into its entry again, each would re-inject itself without end, pasting forever.
// Marked keys therefore go past the shortcuts to the control with the focus, which does the work.
constexpr ULONG_PTR kInjectedKeyMark = 0x59A75A17;

bool Win32Desktop::TranslateShortcut(MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
        return false;
    }
    if (static_cast<ULONG_PTR>(GetMessageExtraInfo()) == kInjectedKeyMark) {
        return false;
    }
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    const WindowState* window = WindowOf(root);
    if (window == nullptr || window->accelerators == nullptr) {
        return false;
    }
    return TranslateAcceleratorW(root, window->accelerators, &message) != 0;
}

bool Win32Desktop::MoveFocusByTab(HWND from, bool backwards) {
    HWND hwnd = from;
    ControlState* control = nullptr;
    WindowState* window = nullptr;
    while (hwnd != nullptr && (control = ControlOf(hwnd)) == nullptr && (window = WindowOf(hwnd)) == nullptr) {
        hwnd = GetAncestor(hwnd, GA_PARENT);
    }
    if (control != nullptr) {
        window = control->window;
        if (control->tmpl.kind == ControlKind::kEditBox && control->tmpl.multi_line) {
            return false;  // a multi-line edit box types the Tab
        }
    }
    if (window == nullptr) {
        return false;
    }
    const auto order = TabOrder(window);
    if (order.empty()) {
        return true;
    }
    const auto at = std::find(order.begin(), order.end(), control);
    const auto count = static_cast<std::ptrdiff_t>(order.size());
    std::ptrdiff_t next = 0;
    if (at == order.end()) {
        next = backwards ? count - 1 : 0;
    } else {
        next = ((at - order.begin()) + (backwards ? count - 1 : 1)) % count;
    }
    ControlState* target = order[static_cast<std::size_t>(next)];
    ::SetFocus(target->hwnd);
    if (target->tmpl.kind == ControlKind::kEditBox) {
        SendMessageW(target->hwnd, EM_SETSEL, 0, -1);
    }
    return true;
}

void Win32Desktop::RunModal(HWND hwnd) {
    while (IsWindow(hwnd)) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // the outer loop ends too
            return;
        }
        if (got < 0) {
            return;
        }
        Dispatch(message);
        ReleaseBuried();
    }
}

int Win32Desktop::RunMessageLoop() {
    while (true) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            exit_code_ = static_cast<int>(message.wParam);
            return exit_code_;
        }
        if (got < 0) {
            return exit_code_;
        }
        Dispatch(message);
        ReleaseBuried();
    }
}

void Win32Desktop::EndProgram(int exit_code) {
    exit_code_ = exit_code;
    std::vector<WindowState*> open;
    for (auto& entry : windows_) {
        open.push_back(entry.second.get());
    }
    for (WindowState* window : open) {
        DestroyWindowState(window);  // each removes its tray icon
    }
    PostQuitMessage(exit_code);
}

void Win32Desktop::DelayWithEvents(int milliseconds) {
    if (milliseconds <= 0) {
        return;
    }
    const ULONGLONG start = GetTickCount64();
    const auto wanted = static_cast<ULONGLONG>(milliseconds);
    while (true) {
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= wanted) {
            return;
        }
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));  // for the loop further out
                return;
            }
            Dispatch(message);
            ReleaseBuried();
            continue;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(wanted - elapsed), QS_ALLINPUT);
    }
}

void Win32Desktop::Sleep(int milliseconds) {
    ::Sleep(static_cast<DWORD>(std::max(0, milliseconds)));
}

void Win32Desktop::SimulateKeys(std::initializer_list<int> virtual_keys) {
    for (const int key : virtual_keys) {
        keybd_event(static_cast<BYTE>(key), static_cast<BYTE>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)),
                    IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0, kInjectedKeyMark);
    }
    for (const int key : virtual_keys) {
        keybd_event(static_cast<BYTE>(key), static_cast<BYTE>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)),
                    KEYEVENTF_KEYUP | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0), kInjectedKeyMark);
    }
}

}  // namespace yz
