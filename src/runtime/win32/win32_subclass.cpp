// The subclass every control runs under: mouse, key, character, wheel and focus messages become
// the common events; edit boxes get their byte limit and placeholder; buttons that must not take
// the focus are pressed by hand; the colour picker opens its palette.

#include "runtime/win32/win32_desktop.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "runtime/wide_win32.h"
#include "runtime/win32/win32_key_paint.h"
#include "runtime/win32/win32_text_limit.h"

namespace yz {

namespace {

constexpr LPARAM kImeResultString = 0x0800;  // GCS_RESULTSTR

int KeyModifiers() {
    int modifiers = 0;
    if (GetKeyState(VK_CONTROL) < 0) {
        modifiers |= 1;
    }
    if (GetKeyState(VK_SHIFT) < 0) {
        modifiers |= 2;
    }
    if (GetKeyState(VK_MENU) < 0) {
        modifiers |= 4;
    }
    return modifiers;
}

int MouseModifiers(WPARAM keys) {
    int modifiers = 0;
    if ((keys & MK_CONTROL) != 0) {
        modifiers |= 1;
    }
    if ((keys & MK_SHIFT) != 0) {
        modifiers |= 2;
    }
    if (GetKeyState(VK_MENU) < 0) {
        modifiers |= 4;
    }
    return modifiers;
}

// The character as the program's code: its GBK byte, or lead byte * 256 + trail byte.
int CharacterCode(wchar_t character) {
    const std::string gbk = GbkFromWide(std::wstring_view(&character, 1));
    if (gbk.size() == 2) {
        return (static_cast<unsigned char>(gbk[0]) << 8) | static_cast<unsigned char>(gbk[1]);
    }
    return gbk.empty() ? 0 : static_cast<unsigned char>(gbk[0]);
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The bytes still free in a limited edit box once its selection is replaced.
int RoomInEdit(HWND hwnd, int limit) {
    const std::wstring text = WindowText(hwnd);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    start = std::min<DWORD>(start, static_cast<DWORD>(text.size()));
    end = std::min<DWORD>(std::max(start, end), static_cast<DWORD>(text.size()));
    const int used = GbkByteLength(text) - GbkByteLength(std::wstring_view(text).substr(start, end - start));
    return limit - used;
}

std::wstring ClipboardText(HWND owner) {
    std::wstring text;
    if (!OpenClipboard(owner)) {
        return text;
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// A pixel set far outside the window (and its parent) is clipped away: nothing is drawn.
void RestartDrawingClock(HWND hwnd) {
    constexpr int kOutside = -32000;
    HDC dc = GetDC(hwnd);
    SetPixel(dc, kOutside, kOutside, 0);
    ReleaseDC(hwnd, dc);
}

// Somewhat less than the 50 ms after which a paint pushes on its own, so that the paint that
// follows the second look stays inside them.
constexpr DWORD kRestAgainAfterMs = 35;

}  // namespace

// Under Wine each moment of rest (a look at the queue that finds nothing) pushes what was painted
// to the screen, and every push reshapes a colour-keyed window, which costs a scan of the whole
// window and a round of exposures: with a screen of text, about as much as the edit control takes
// for a character in 600 KiB. Two more rules push on their own. A paint pushes once the thread
// has not rested for 50 ms. And a window's device context keeps the time it last began drawing
// on a window with nothing left to push; drawing through it more than 50 ms later, onto a window
// that something else has drawn on since, pushes at once. That is every window painted after the
// control has moved its caret, since each one's context last began on a clean window a key ago:
// the editor, the status line and the labels over it each went out alone.
// So at each look that finds nothing, the moment the window has just been pushed, the contexts of
// the windows that typed characters repaint set a pixel that is clipped away, which restarts
// their clocks without drawing anything. The look is taken before the control sees the
// character: the character with whatever its handlers changed is then painted in one pass that
// the message loop's next rest pushes once. In a long text the control itself takes longer than
// those 50 ms: then a second look before the paint pushes the caret and restarts the clocks
// again. While more keys or posted messages wait, the paint is left to the message loop, which
// then paints once for all of them. Answers whether input waits.
bool Win32Desktop::RestAndLookForInput(const ControlState* typed_into) {
    MSG waiting{};
    if (PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE | PM_NOYIELD | PM_QS_INPUT | PM_QS_POSTMESSAGE) != FALSE) {
        return true;
    }
    if (painted_with_characters_.empty()) {
        RestartDrawingClock(typed_into->window->hwnd);
        RestartDrawingClock(typed_into->hwnd);
    }
    for (HWND hwnd : painted_with_characters_) {
        if (IsWindowVisible(hwnd)) {
            RestartDrawingClock(hwnd);
        }
    }
    return false;
}

// Restarting every shown window's clock would cost more than the pushes it saves in a short text,
// so only the windows a typed character has repainted are kept.
void Win32Desktop::NotePaint(HWND hwnd) {
    if (painting_character_ && std::find(painted_with_characters_.begin(), painted_with_characters_.end(), hwnd) ==
                                   painted_with_characters_.end()) {
        painted_with_characters_.push_back(hwnd);
    }
}

LRESULT CallControlClass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    const auto* control = reinterpret_cast<const ControlState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return control != nullptr && control->class_proc != nullptr
               ? CallWindowProcW(control->class_proc, hwnd, message, wparam, lparam)
               : DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK Win32Desktop::ControlProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* control = reinterpret_cast<ControlState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (control == nullptr || control->hwnd != hwnd) {
        return CallControlClass(hwnd, message, wparam, lparam);
    }
    return control->desktop->OnControlMessage(control, message, wparam, lparam);
}

bool Win32Desktop::RaiseInput(const WindowState* window,
                              const ControlState* control,
                              UINT message,
                              WPARAM wparam,
                              LPARAM lparam) {
    EventKind kind{};
    int a = 0;
    int b = 0;
    int c = 0;
    bool swallowable = false;
    switch (message) {
        case WM_LBUTTONDOWN:
            kind = EventKind::kLeftButtonDown;
            break;
        case WM_LBUTTONUP:
            kind = EventKind::kLeftButtonUp;
            break;
        case WM_LBUTTONDBLCLK:
            kind = EventKind::kDoubleClick;
            break;
        case WM_RBUTTONDOWN:
            kind = EventKind::kRightButtonDown;
            break;
        case WM_RBUTTONUP:
            kind = EventKind::kRightButtonUp;
            break;
        case WM_MOUSEMOVE:
            kind = EventKind::kMouseMove;
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            kind = EventKind::kKeyDown;
            swallowable = true;
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            kind = EventKind::kKeyUp;
            swallowable = true;
            break;
        case WM_CHAR:
            kind = EventKind::kCharacter;
            swallowable = true;
            break;
        case WM_MOUSEWHEEL:
            kind = EventKind::kWheel;
            break;
        default:
            return true;
    }
    switch (kind) {
        case EventKind::kKeyDown:
        case EventKind::kKeyUp:
            a = static_cast<int>(wparam);
            b = KeyModifiers();
            break;
        case EventKind::kCharacter:
            a = CharacterCode(static_cast<wchar_t>(wparam));
            break;
        case EventKind::kWheel:
            a = GET_WHEEL_DELTA_WPARAM(wparam) / WHEEL_DELTA;
            b = MouseModifiers(GET_KEYSTATE_WPARAM(wparam));
            break;
        default:
            a = GET_X_LPARAM(lparam);
            b = GET_Y_LPARAM(lparam);
            c = MouseModifiers(wparam);
            break;
    }
    const bool answer = control != nullptr ? RaiseFor(control, kind, a, b, c) : RaiseForWindow(window, kind, a, b, c);
    if (kind == EventKind::kKeyDown) {
        key_swallowed_ = !answer;  // the message loop then leaves the key untranslated
    }
    return swallowable ? answer : true;
}

LRESULT Win32Desktop::OnControlMessage(ControlState* control, UINT message, WPARAM wparam, LPARAM lparam) {
    HWND hwnd = control->hwnd;
    const ControlKind kind = control->tmpl.kind;
    const bool placeholder = kind == ControlKind::kEditBox && !control->tmpl.placeholder.empty();
    switch (message) {
        case WM_PAINT:
            NotePaint(hwnd);
            break;
        case WM_NCDESTROY: {
            const WNDPROC class_proc = control->class_proc;
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(class_proc));
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            control_by_hwnd_.erase(hwnd);
            control->hwnd = nullptr;
            return CallWindowProcW(class_proc, hwnd, message, wparam, lparam);
        }
        case WM_NCPAINT: {
            // Labels and buttons have no frame: nothing lies outside their client area to paint.
            RECT outer{};
            RECT inner{};
            GetWindowRect(hwnd, &outer);
            GetClientRect(hwnd, &inner);
            if (outer.right - outer.left == inner.right && outer.bottom - outer.top == inner.bottom) {
                return 0;
            }
            break;
        }
        case kHotKeyNotifyMessage:
            RaiseFor(control, EventKind::kNotification, static_cast<int>(wparam), 0);
            return 0;
        case WM_SETCURSOR:
            if (control->tmpl.pointer != MousePointer::kArrow && LOWORD(lparam) == HTCLIENT) {
                const auto cursor = control->tmpl.pointer == MousePointer::kHand ? 32649 : 32648;  // IDC_HAND, IDC_NO
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(cursor)));
                return TRUE;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            const LRESULT answer = CallControlClass(hwnd, message, wparam, lparam);
            if (placeholder) {
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            if (message == WM_SETFOCUS) {
                control->window->last_focus = hwnd;
            }
            RaiseFor(control, message == WM_SETFOCUS ? EventKind::kGotFocus : EventKind::kLostFocus);
            return answer;
        }
        case WM_SETTEXT:
        case EM_SETHANDLE:
        case EM_REPLACESEL:
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
        case WM_UNDO:
        case EM_UNDO:
        case WM_SYSCHAR:
        case WM_IME_CHAR:
        case WM_IME_COMPOSITION:
        case WM_IME_ENDCOMPOSITION:
            // Changes the text in a way the copy does not follow; some of them (WM_SETTEXT on a
            // multi-line control, input method results under Wine) are not announced at all.
            control->edit_text.Forget();
            break;
        case WM_KEYDOWN:
            if (wparam == VK_DELETE || wparam == VK_INSERT) {
                control->edit_text.Forget();
            }
            break;
        default:
            break;
    }
    if (kind == ControlKind::kTabControl) {
        LRESULT result = 0;
        if (OnContainerMessage(message, wparam, lparam, &result)) {
            return result;
        }
        if (message == TCM_SETCURSEL) {
            const LRESULT answer = CallControlClass(hwnd, message, wparam, lparam);
            ShowPage(control, static_cast<int>(SendMessageW(hwnd, TCM_GETCURSEL, 0, 0)), false);
            return answer;
        }
    }
    if (!RaiseInput(control->window, control, message, wparam, lparam)) {
        return 0;
    }
    if (control->hwnd == nullptr) {
        return 0;  // a handler closed the window
    }
    switch (kind) {
        case ControlKind::kEditBox:
            if (OnEditInput(control, message, wparam, lparam)) {
                return 0;
            }
            if (message == WM_CHAR) {
                control->edit_text.ExpectCharacter(hwnd, static_cast<wchar_t>(wparam));
                const DWORD rested_at = GetTickCount();
                bool input_waits = RestAndLookForInput(control);
                const bool was_in_character = in_character_;
                in_character_ = true;
                const LRESULT answer = CallControlClass(hwnd, message, wparam, lparam);
                in_character_ = was_in_character;
                if (control->hwnd != nullptr) {
                    control->edit_text.EndCharacter();
                    if (!input_waits && GetTickCount() - rested_at >= kRestAgainAfterMs) {
                        input_waits = RestAndLookForInput(control);
                    }
                    if (!input_waits) {
                        painting_character_ = true;
                        RedrawWindow(control->window->hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                        painting_character_ = false;
                    }
                }
                return answer;
            }
            if (message == WM_PAINT && placeholder) {
                const LRESULT answer = CallControlClass(hwnd, message, wparam, lparam);
                PaintPlaceholder(control);
                return answer;
            }
            break;
        case ControlKind::kButton:
        case ControlKind::kCheckBox:
        case ControlKind::kPictureButton:
            if (kind != ControlKind::kPictureButton && PaintedAvoidingKey(hwnd, message)) {
                return message == WM_ERASEBKGND ? 1 : 0;
            }
            if (!control->tmpl.focus_on_click && OnButtonWithoutFocus(control, message, lparam)) {
                return 0;
            }
            if (kind == ControlKind::kPictureButton && message == WM_MOUSEMOVE && !control->hot) {
                control->hot = true;
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
                TrackMouseEvent(&track);
                InvalidateRect(hwnd, nullptr, FALSE);
            } else if (kind == ControlKind::kPictureButton && message == WM_MOUSELEAVE) {
                control->hot = false;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            break;
        case ControlKind::kSlider:
            if (PaintedAvoidingKey(hwnd, message)) {
                return message == WM_ERASEBKGND ? 1 : 0;
            }
            break;
        case ControlKind::kColourPicker:
            if (message == WM_LBUTTONUP) {
                const LRESULT answer = CallControlClass(hwnd, message, wparam, lparam);
                const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
                RECT client{};
                GetClientRect(hwnd, &client);
                if (PtInRect(&client, point)) {
                    OpenPalette(control);
                }
                return answer;
            }
            break;
        default:
            break;
    }
    return CallControlClass(hwnd, message, wparam, lparam);
}

bool Win32Desktop::OnEditInput(ControlState* control, UINT message, WPARAM wparam, LPARAM lparam) {
    const int limit = control->tmpl.input_limit;
    if (limit <= 0) {
        return false;
    }
    HWND hwnd = control->hwnd;
    switch (message) {
        case WM_CHAR:
        case WM_IME_CHAR: {
            const auto character = static_cast<wchar_t>(wparam);
            const bool multi_line = control->tmpl.multi_line;
            if (character < 0x20 && !(multi_line && (character == L'\r' || character == L'\t'))) {
                return false;  // editing keys: backspace, Ctrl+C and the like
            }
            const std::wstring inserted = character == L'\r' ? std::wstring(L"\r\n") : std::wstring(1, character);
            if (GbkByteLength(inserted) > RoomInEdit(hwnd, limit)) {
                return true;
            }
            if (message == WM_IME_CHAR) {
                CallControlClass(hwnd, WM_CHAR, wparam, lparam);
                return true;
            }
            return false;
        }
        case WM_IME_COMPOSITION:
            // The default handling turns the result into WM_IME_CHAR messages, which are measured.
            if ((lparam & kImeResultString) != 0) {
                DefWindowProcW(hwnd, message, wparam, lparam);
                return true;
            }
            return false;
        case WM_PASTE: {
            std::wstring text = ClipboardText(hwnd);
            if (!control->tmpl.multi_line) {
                text = text.substr(0, text.find_first_of(L"\r\n"));
            }
            const std::wstring fitting = CutToGbkBytes(text, std::max(0, RoomInEdit(hwnd, limit)));
            SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(fitting.c_str()));
            return true;
        }
        default:
            return false;
    }
}

void Win32Desktop::PaintPlaceholder(ControlState* control) {
    HWND hwnd = control->hwnd;
    if (GetWindowTextLengthW(hwnd) != 0 || GetFocus() == hwnd) {
        return;
    }
    const std::wstring text = WideFromGbk(control->tmpl.placeholder);
    HDC dc = GetDC(hwnd);
    HGDIOBJ old_font = SelectObject(dc, control->font != nullptr ? control->font : default_font_);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    RECT rect{};
    SendMessageW(hwnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    UINT format = DT_NOPREFIX | (control->tmpl.multi_line ? DT_WORDBREAK : DT_SINGLELINE);
    if (control->tmpl.alignment == Alignment::kCentre) {
        format |= DT_CENTER;
    } else if (control->tmpl.alignment == Alignment::kRight) {
        format |= DT_RIGHT;
    }
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
    SelectObject(dc, old_font);
    ReleaseDC(hwnd, dc);
}

bool Win32Desktop::OnButtonWithoutFocus(ControlState* control, UINT message, LPARAM lparam) {
    // The standard button takes the focus on a press; this press leaves it where it is.
    HWND hwnd = control->hwnd;
    RECT client{};
    GetClientRect(hwnd, &client);
    const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            control->pressed = true;
            SetCapture(hwnd);
            SendMessageW(hwnd, BM_SETSTATE, TRUE, 0);
            return true;
        case WM_MOUSEMOVE:
            if (!control->pressed) {
                return false;
            }
            SendMessageW(hwnd, BM_SETSTATE, PtInRect(&client, point) ? TRUE : FALSE, 0);
            return true;
        case WM_LBUTTONUP:
            if (!control->pressed) {
                return false;
            }
            control->pressed = false;
            ReleaseCapture();
            SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
            if (PtInRect(&client, point)) {
                if (control->tmpl.kind == ControlKind::kCheckBox) {
                    const bool checked = SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
                    SendMessageW(hwnd, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
                }
                SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                             reinterpret_cast<LPARAM>(hwnd));
            }
            return true;
        case WM_CAPTURECHANGED:
            if (control->pressed) {
                control->pressed = false;
                SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
            }
            return false;
        default:
            return false;
    }
}

void Win32Desktop::SetEditText(ControlState* control, const std::wstring& text) {
    // Multi-line edit controls do not notify a WM_SETTEXT; the event is raised once either way.
    const int before = control->content_changes;
    SetWindowTextW(control->hwnd, text.c_str());
    if (control->content_changes == before && control->hwnd != nullptr) {
        ++control->content_changes;
        if (!control->tmpl.placeholder.empty()) {
            InvalidateRect(control->hwnd, nullptr, TRUE);
        }
        RaiseFor(control, EventKind::kContentChanged);
    }
}

}  // namespace yz
