// The procedure of every loaded window, and the notifications a container (a window, or a tab
// control holding page controls) receives from its controls.

#include "runtime/win32/win32_desktop.h"

#include <commctrl.h>

namespace yz {

LRESULT CALLBACK Win32Desktop::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* created = static_cast<WindowState*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        created->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* window = reinterpret_cast<WindowState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr || window->desktop == nullptr) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    return window->desktop->OnWindowMessage(window, message, wparam, lparam);
}

LRESULT Win32Desktop::OnWindowMessage(WindowState* window, UINT message, WPARAM wparam, LPARAM lparam) {
    HWND hwnd = window->hwnd;
    LRESULT result = 0;
    if (OnContainerMessage(message, wparam, lparam, &result)) {
        return result;
    }
    switch (message) {
        case WM_PAINT:
            NotePaint(hwnd);
            break;
        case WM_ERASEBKGND:
            PaintBackground(window, reinterpret_cast<HDC>(wparam), POINT{0, 0});
            return 1;
        case WM_CLOSE:
            if (RaiseForWindow(window, EventKind::kQueryClose)) {
                DestroyWindowState(window);
            }
            return 0;
        case WM_QUERYENDSESSION:
            return RaiseForWindow(window, EventKind::kQueryClose) ? TRUE : FALSE;
        case WM_MOVE:
        case WM_SIZE:
            OnMovedOrResized(window);
            break;
        case WM_ACTIVATE:
            OnActivate(window, wparam);
            return 0;
        case kMakeDeferredControlsMessage:
            MakeDeferredControlWindows(window);
            return 0;
        case WM_TIMER:
            for (const auto& control : window->controls) {
                if (control->tmpl.kind == ControlKind::kTimer && control->timer_id == wparam) {
                    RaiseFor(control.get(), EventKind::kTick);
                    return 0;
                }
                if (control->tmpl.kind == ControlKind::kBalloonTip && control->timer_id == wparam) {
                    ShowDueBalloon(control.get());
                    return 0;
                }
            }
            return 0;
        case kTrayCallbackMessage: {
            int action = 0;
            if (lparam == WM_LBUTTONUP) {
                action = 1;
            } else if (lparam == WM_LBUTTONDBLCLK) {
                action = 2;
            } else if (lparam == WM_RBUTTONUP || lparam == WM_CONTEXTMENU) {
                action = 3;
            }
            if (action != 0) {
                RaiseForWindow(window, EventKind::kTray, action);
            }
            return 0;
        }
        case kHotKeyNotifyMessage:
            RaiseForWindow(window, EventKind::kNotification, static_cast<int>(wparam), 0);
            return 0;
        case kDeferredCloseMessage:
            DestroyWindowState(window);
            return 0;
        case WM_COMMAND:
            if (lparam == 0) {
                RunMenuCommand(window, LOWORD(wparam));
                return 0;
            }
            break;
        case WM_SETFOCUS:
            RaiseForWindow(window, EventKind::kGotFocus);
            return 0;
        case WM_KILLFOCUS:
            RaiseForWindow(window, EventKind::kLostFocus);
            return 0;
        case WM_DESTROY:
            // Children are destroyed next; their focus changes are not the writer's doing.
            window->live = false;
            RemoveTrayIcon(window);
            break;
        case WM_NCDESTROY: {
            const LRESULT answer = DefWindowProcW(hwnd, message, wparam, lparam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            Bury(window);
            return answer;
        }
        default:
            break;
    }
    if (!RaiseInput(window, nullptr, message, wparam, lparam)) {
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

void Win32Desktop::OnActivate(WindowState* window, WPARAM wparam) {
    if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window->hwnd, focus)) {
            window->last_focus = focus;
        }
        RaiseForWindow(window, EventKind::kDeactivated);
        return;
    }
    if (HIWORD(wparam) == 0) {  // not minimised: the focus goes back where it was, else to the first stop
        HWND target = window->last_focus;
        if (target == nullptr || !IsWindow(target) || !IsWindowVisible(target) || !IsWindowEnabled(target)) {
            const auto order = TabOrder(window);
            target = order.empty() ? window->hwnd : order.front()->hwnd;
        }
        ::SetFocus(target);
    }
    if (!window->live) {
        return;
    }
    const Text name = window->tmpl.name;
    if (!window->activated_once) {
        window->activated_once = true;
        RaiseForWindow(window, EventKind::kFirstActivation);
        if (FindWindowState(name) != window) {
            return;
        }
    }
    RaiseForWindow(window, EventKind::kActivated);
}

void Win32Desktop::OnMovedOrResized(WindowState* window) {
    if (!window->live) {
        return;
    }
    RECT rect{};
    GetWindowRect(window->hwnd, &rect);
    const RECT old = window->reported;
    window->reported = rect;
    const Text name = window->tmpl.name;
    if (rect.left != old.left || rect.top != old.top) {
        RaiseForWindow(window, EventKind::kMoved, rect.left, rect.top);
    }
    if (FindWindowState(name) != window) {
        return;
    }
    if (rect.right - rect.left != old.right - old.left || rect.bottom - rect.top != old.bottom - old.top) {
        RaiseForWindow(window, EventKind::kResized, rect.right - rect.left, rect.bottom - rect.top);
    }
}

void Win32Desktop::PaintBackground(WindowState* window, HDC dc, POINT origin) const {
    // Decoded when first drawn: the backdrop, loaded first and shown after the main window, then
    // does not hold up the main window's start.
    if (window->picture_pending) {
        window->picture_pending = false;
        window->background_picture = LoadPicture(window->tmpl.picture);
    }
    RECT client{};
    GetClientRect(window->hwnd, &client);
    OffsetRect(&client, -origin.x, -origin.y);
    HBRUSH brush = window->background_brush != nullptr ? window->background_brush : GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc, &client, brush);
    if (window->background_picture != nullptr) {
        const Picture& picture = *window->background_picture;
        DrawPicture(dc, picture, -origin.x, -origin.y, picture.width, picture.height);
    }
}

LRESULT Win32Desktop::ControlColours(ControlState* control, HDC dc, UINT message, WPARAM wparam, LPARAM lparam) {
    const ControlTemplate& settings = control->tmpl;
    if (settings.kind == ControlKind::kTransparentLabel) {
        // No background at all: the parent has painted what lies under the text.
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, static_cast<COLORREF>(settings.text_colour.value_or(kBlack)));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    const LRESULT standard = DefWindowProcW(control->window->hwnd, message, wparam, lparam);
    if (settings.text_colour) {
        SetTextColor(dc, static_cast<COLORREF>(*settings.text_colour));
    }
    if (control->back_brush != nullptr && settings.back_colour) {
        SetBkColor(dc, static_cast<COLORREF>(*settings.back_colour));
        return reinterpret_cast<LRESULT>(control->back_brush);
    }
    // Labels and check boxes without a colour of their own take the window's.
    const WindowState* window = control->window;
    if ((settings.kind == ControlKind::kLabel || settings.kind == ControlKind::kCheckBox) &&
        window->background_brush != nullptr && window->tmpl.background && GetParent(control->hwnd) == window->hwnd) {
        SetBkColor(dc, static_cast<COLORREF>(*window->tmpl.background));
        return reinterpret_cast<LRESULT>(window->background_brush);
    }
    // A box or button left in the system colour would vanish where that colour is the window's
    // colour key: drawn see-through, and clicks on it would fall through to the window behind.
    // One step off the key it looks the same and stays a control.
    COLORREF key = 0;
    DWORD layering = 0;
    if (GetLayeredWindowAttributes(window->hwnd, &key, nullptr, &layering) && (layering & LWA_COLORKEY) != 0 &&
        GetBkColor(dc) == key) {
        const COLORREF off_key = key ^ RGB(0, 0, 1);
        if (off_key_brush_ == nullptr || off_key_colour_ != off_key) {
            if (off_key_brush_ != nullptr) {
                DeleteObject(off_key_brush_);
            }
            off_key_brush_ = CreateSolidBrush(off_key);
            off_key_colour_ = off_key;
        }
        SetBkColor(dc, off_key);
        return reinterpret_cast<LRESULT>(off_key_brush_);
    }
    return standard;
}

bool Win32Desktop::OnContainerMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    switch (message) {
        case WM_COMMAND: {
            ControlState* control = lparam != 0 ? ControlOf(reinterpret_cast<HWND>(lparam)) : nullptr;
            if (control == nullptr) {
                return false;
            }
            const WORD code = HIWORD(wparam);
            switch (control->tmpl.kind) {
                case ControlKind::kEditBox:
                    if (code == EN_CHANGE) {
                        control->edit_text.OnChanged(control->hwnd);
                        ++control->content_changes;
                        if (!control->tmpl.placeholder.empty()) {
                            InvalidateRect(control->hwnd, nullptr, TRUE);
                        }
                        RaiseFor(control, EventKind::kContentChanged);
                    }
                    break;
                case ControlKind::kButton:
                case ControlKind::kPictureButton:
                case ControlKind::kCheckBox:
                    if (code == BN_CLICKED) {
                        RaiseFor(control, EventKind::kClicked);
                    }
                    break;
                case ControlKind::kListBox:
                    if (code == LBN_SELCHANGE) {
                        RaiseFor(control, EventKind::kSelectionChanged,
                                 static_cast<int>(SendMessageW(control->hwnd, LB_GETCURSEL, 0, 0)));
                    }
                    break;
                default:
                    break;
            }
            *result = 0;
            return true;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            ControlState* control = ControlOf(header->hwndFrom);
            if (control == nullptr || control->tmpl.kind != ControlKind::kTabControl || header->code != TCN_SELCHANGE) {
                return false;
            }
            const int page = static_cast<int>(SendMessageW(control->hwnd, TCM_GETCURSEL, 0, 0));
            ShowPage(control, page, true);
            RaiseFor(control, EventKind::kSelectionChanged, page);
            *result = 0;
            return true;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN: {
            ControlState* control = ControlOf(reinterpret_cast<HWND>(lparam));
            if (control == nullptr) {
                return false;
            }
            *result = ControlColours(control, reinterpret_cast<HDC>(wparam), message, wparam, lparam);
            return true;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            ControlState* control = ControlOf(item->hwndItem);
            if (control == nullptr) {
                return false;
            }
            if (control->tmpl.kind == ControlKind::kPictureButton) {
                DrawPictureButton(control, *item);
            } else if (control->tmpl.kind == ControlKind::kColourPicker) {
                DrawColourButton(control, *item);
            } else {
                return false;
            }
            *result = TRUE;
            return true;
        }
        case WM_HSCROLL:
        case WM_VSCROLL: {
            ControlState* control = lparam != 0 ? ControlOf(reinterpret_cast<HWND>(lparam)) : nullptr;
            if (control == nullptr || control->tmpl.kind != ControlKind::kSlider) {
                return false;
            }
            // Every step the writer makes counts; the closing TB_ENDTRACK repeats the last one.
            if (LOWORD(wparam) != TB_ENDTRACK) {
                control->slider_moved = true;
                RaiseFor(control, EventKind::kPositionChanged,
                         static_cast<int>(SendMessageW(control->hwnd, TBM_GETPOS, 0, 0)));
            }
            *result = 0;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace yz
