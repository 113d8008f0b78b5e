// Creating the controls of a window from their templates, and drawing the owner-drawn ones.

#include "runtime/win32/win32_desktop.h"

#include <commctrl.h>

#include <algorithm>

#include "runtime/wide_win32.h"
#include "runtime/win32/win32_fonts.h"
#include "runtime/win32/win32_key_paint.h"

namespace yz {

namespace {

struct ControlClass {
    const wchar_t* name = L"STATIC";
    DWORD style = 0;
    DWORD ex_style = 0;
};

DWORD StaticAlignment(Alignment alignment) {
    switch (alignment) {
        case Alignment::kCentre:
            return SS_CENTER;
        case Alignment::kRight:
            return SS_RIGHT;
        default:
            return SS_LEFT;
    }
}

ControlClass ClassFor(const ControlTemplate& settings) {
    switch (settings.kind) {
        case ControlKind::kEditBox: {
            DWORD style =
                settings.multi_line
                    ? (ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | (settings.vertical_scroll ? WS_VSCROLL : 0))
                    : ES_AUTOHSCROLL;
            if (settings.alignment == Alignment::kCentre) {
                style |= ES_CENTER;
            } else if (settings.alignment == Alignment::kRight) {
                style |= ES_RIGHT;
            }
            if (settings.input_mode == kInputReadOnly) {
                style |= ES_READONLY;
            } else if (settings.input_mode == kInputMasked && !settings.multi_line) {
                style |= ES_PASSWORD;
            }
            return {L"EDIT", style, settings.border ? static_cast<DWORD>(WS_EX_CLIENTEDGE) : 0};
        }
        case ControlKind::kLabel:
        case ControlKind::kTransparentLabel:
            return {L"STATIC", SS_NOTIFY | StaticAlignment(settings.alignment), 0};
        case ControlKind::kButton:
            return {L"BUTTON", BS_PUSHBUTTON, 0};
        case ControlKind::kPictureButton:
        case ControlKind::kColourPicker:
            return {L"BUTTON", BS_OWNERDRAW, 0};
        case ControlKind::kCheckBox:
            return {L"BUTTON", BS_AUTOCHECKBOX, 0};
        case ControlKind::kListBox:
            return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
                    settings.border ? static_cast<DWORD>(WS_EX_CLIENTEDGE) : 0};
        case ControlKind::kListView:
            return {WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                    settings.border ? static_cast<DWORD>(WS_EX_CLIENTEDGE) : 0};
        case ControlKind::kTabControl:
            return {WC_TABCONTROLW, 0, 0};
        case ControlKind::kSlider: {
            const SliderSettings& slider = settings.slider;
            return {
                TRACKBAR_CLASSW,
                static_cast<DWORD>((slider.vertical ? TBS_VERT : TBS_HORZ) | (slider.ticks_both_sides ? TBS_BOTH : 0) |
                                   (slider.tick_frequency > 0 ? TBS_AUTOTICKS : TBS_NOTICKS)),
                0};
        }
        default:
            return {};
    }
}

bool ShowsCaption(ControlKind kind) {
    return kind == ControlKind::kEditBox || kind == ControlKind::kLabel || kind == ControlKind::kTransparentLabel ||
           kind == ControlKind::kButton || kind == ControlKind::kCheckBox;
}

// The list view, the tab control and the track bar come from the common-controls library, which
// is loaded with the first of them: a window that shows none of them starts without it.
void RegisterCommonControls(ControlKind kind) {
    static bool registered = false;
    if (registered ||
        (kind != ControlKind::kListView && kind != ControlKind::kTabControl && kind != ControlKind::kSlider)) {
        return;
    }
    const INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    registered = InitCommonControlsEx(&classes) != FALSE;
}

}  // namespace

void Win32Desktop::CreateControl(WindowState* window, const ControlTemplate& settings, int index) {
    auto owned = std::make_unique<ControlState>();
    ControlState* control = owned.get();
    control->desktop = this;
    control->window = window;
    control->tmpl = settings;
    control->index = index;
    window->controls.push_back(std::move(owned));
    switch (settings.kind) {
        case ControlKind::kTimer:
        case ControlKind::kBalloonTip:
            control->timer_id = kFirstTimerId + static_cast<UINT_PTR>(index);
            return;
        case ControlKind::kDatagramSocket:
            control->deferred = true;  // opened once the window is painted, or on its first use before
            return;
        case ControlKind::kCommonDialog:
            return;
        case ControlKind::kColourPicker:
            control->colour = settings.back_colour.value_or(kBlack);
            break;
        default:
            break;
    }
    // Its window is made once the window's handlers have placed it, or on its first use before.
    control->deferred = true;
}

void Win32Desktop::MakeShownControlWindows(WindowState* window) {
    for (const auto& control : window->controls) {
        // A tab control makes its shown page controls with it.
        if (control->deferred && IsVisualKind(control->tmpl.kind) && control->tmpl.visible &&
            control->tmpl.container.empty()) {
            MakeControlWindow(control.get());
        }
    }
}

void Win32Desktop::OpenDeferredSockets(WindowState* window) {
    for (const auto& control : window->controls) {
        if (control->deferred && control->tmpl.kind == ControlKind::kDatagramSocket) {
            MakeControlWindow(control.get());
        }
    }
}

void Win32Desktop::MakeDeferredControlWindows(WindowState* window) {
    for (const auto& control : window->controls) {
        if (control->deferred) {
            MakeControlWindow(control.get());
        }
    }
}

void Win32Desktop::MakeControlWindow(ControlState* control) {
    control->deferred = false;
    if (control->tmpl.kind == ControlKind::kDatagramSocket) {
        OpenDatagramSocket(control);
        return;
    }
    WindowState* window = control->window;
    const ControlTemplate& settings = control->tmpl;
    HWND parent = window->hwnd;
    ControlState* tabs = nullptr;
    if (!settings.container.empty()) {
        // A deferred tab control is made first; it makes its shown page controls with it.
        tabs = FindControl({window->tmpl.name, settings.container});
        if (tabs != nullptr && tabs->tmpl.kind == ControlKind::kTabControl && tabs->hwnd != nullptr) {
            parent = tabs->hwnd;  // page controls sit in the tab control, placed relative to it
        } else {
            tabs = nullptr;
        }
    }
    const bool on_page = tabs != nullptr;
    if (control->hwnd != nullptr) {
        return;  // made while its tab control was
    }
    RegisterCommonControls(settings.kind);
    const ControlClass shape = ClassFor(settings);
    // Siblings overlap (the panels lie over the editor): each paints only where none above it lies.
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | shape.style;
    if (settings.visible && !on_page) {
        style |= WS_VISIBLE;  // the page rule shows page controls
    }
    if (!settings.enabled) {
        style |= WS_DISABLED;
    }
    if (settings.tab_position > 0) {
        style |= WS_TABSTOP;
    }
    const std::wstring text = ShowsCaption(settings.kind) ? WideFromGbk(settings.text) : std::wstring();
    HWND hwnd = CreateWindowExW(shape.ex_style, shape.name, text.c_str(), style, settings.rect.left, settings.rect.top,
                                settings.rect.width, settings.rect.height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + control->index)),
                                GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) {
        return;
    }
    // Templates list controls top first: each lies under the siblings listed before it, so the
    // editor, listed last, lies under the panels drawn over it and takes no click meant for them.
    HWND above = HWND_TOP;
    for (const auto& sibling : window->controls) {
        if (sibling->index < control->index && sibling->hwnd != nullptr && sibling->parent == parent) {
            above = sibling->hwnd;  // siblings are kept in template order: the last found is the nearest
        }
    }
    SetWindowPos(hwnd, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    control->hwnd = hwnd;
    control->parent = parent;
    control_by_hwnd_[hwnd] = control;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    control->class_proc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc)));
    ApplyFont(control);
    if (settings.back_colour || settings.text_colour) {
        ApplyBackColour(control);
    }
    switch (settings.kind) {
        case ControlKind::kEditBox:
            // The control counts UTF-16 units; the byte limit itself is enforced on input. Zero
            // lifts the control's default limit of 32767 characters.
            SendMessageW(hwnd, EM_LIMITTEXT, settings.input_limit > 0 ? settings.input_limit : 0, 0);
            if (settings.input_mode == kInputMasked) {
                SendMessageW(hwnd, EM_SETPASSWORDCHAR, settings.mask_character != 0 ? settings.mask_character : '*', 0);
            }
            break;
        case ControlKind::kPictureButton:
            for (const Text& picture : settings.pictures) {
                control->pictures.push_back(LoadPicture(picture));
            }
            break;
        case ControlKind::kListView:
            SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
            break;
        case ControlKind::kTabControl:
            for (std::size_t page = 0; page < settings.texts.size(); ++page) {
                std::wstring title = WideFromGbk(settings.texts[page]);
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = title.data();
                SendMessageW(hwnd, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));
            }
            break;
        case ControlKind::kSlider: {
            const SliderSettings& slider = settings.slider;
            SendMessageW(hwnd, TBM_SETRANGEMIN, FALSE, slider.minimum);
            SendMessageW(hwnd, TBM_SETRANGEMAX, TRUE, slider.maximum);
            SendMessageW(hwnd, TBM_SETPAGESIZE, 0, slider.page_step);
            SendMessageW(hwnd, TBM_SETLINESIZE, 0, slider.line_step);
            if (slider.tick_frequency > 0) {
                SendMessageW(hwnd, TBM_SETTICFREQ, slider.tick_frequency, 0);
            }
            break;
        }
        default:
            break;
    }
    // Made later: a page control shows by the page rule; a tab control's page controls follow it.
    if (on_page) {
        // No page is selected before the writer picks one: the first shows, as when the window loads.
        const auto selected = static_cast<int>(SendMessageW(tabs->hwnd, TCM_GETCURSEL, 0, 0));
        ShowPage(tabs, std::max(selected, 0), false);
    } else if (settings.kind == ControlKind::kTabControl) {
        for (const auto& page_control : window->controls) {
            if (page_control->deferred && page_control->tmpl.visible && page_control->tmpl.container == settings.name) {
                MakeControlWindow(page_control.get());
            }
        }
    }
}

void Win32Desktop::ApplyFont(ControlState* control) {
    HFONT old = control->font;
    control->font = control->tmpl.font ? CreateGdiFont(*control->tmpl.font) : nullptr;
    SendMessageW(control->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(control->font ? control->font : default_font_),
                 TRUE);
    if (old != nullptr) {
        DeleteObject(old);
    }
}

void Win32Desktop::ApplyBackColour(ControlState* control) {
    if (control->back_brush != nullptr) {
        DeleteObject(control->back_brush);
        control->back_brush = nullptr;
    }
    const ControlTemplate& settings = control->tmpl;
    if (settings.back_colour) {
        control->back_brush = CreateSolidBrush(static_cast<COLORREF>(*settings.back_colour));
    }
    if (settings.kind == ControlKind::kListView) {
        const COLORREF back =
            settings.back_colour ? static_cast<COLORREF>(*settings.back_colour) : GetSysColor(COLOR_WINDOW);
        SendMessageW(control->hwnd, LVM_SETBKCOLOR, 0, back);
        SendMessageW(control->hwnd, LVM_SETTEXTBKCOLOR, 0, back);
        SendMessageW(
            control->hwnd, LVM_SETTEXTCOLOR, 0,
            settings.text_colour ? static_cast<COLORREF>(*settings.text_colour) : GetSysColor(COLOR_WINDOWTEXT));
    }
    InvalidateRect(control->hwnd, nullptr, TRUE);
}

void Win32Desktop::DrawPictureButton(ControlState* control, const DRAWITEMSTRUCT& item) {
    COLORREF key = 0;
    if (!ColourKeyOf(control->hwnd, &key)) {
        DrawPictureFace(control, item);
        return;
    }
    // The window below shows through white parts of the main window's picture; the button does not.
    DrawAvoidingKey(item.hDC, item.rcItem, key, [&](HDC copy) {
        DRAWITEMSTRUCT on_copy = item;
        on_copy.hDC = copy;
        OffsetRect(&on_copy.rcItem, -item.rcItem.left, -item.rcItem.top);
        DrawPictureFace(control, on_copy);
    });
}

void Win32Desktop::DrawPictureFace(ControlState* control, const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT rect = item.rcItem;
    if (control->back_brush != nullptr) {
        FillRect(dc, &rect, control->back_brush);
    } else {
        // What lies under the button on the window shows through a picture's transparent parts.
        POINT origin{0, 0};
        MapWindowPoints(control->hwnd, control->window->hwnd, &origin, 1);
        PaintBackground(control->window, dc, origin);
    }
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    // Pictures and texts by state: normal, under the mouse, pressed, disabled.
    const std::size_t state = disabled ? 3 : pressed ? 2 : control->hot ? 1 : 0;
    const Picture* picture = nullptr;
    if (state < control->pictures.size() && control->pictures[state] != nullptr) {
        picture = control->pictures[state].get();
    } else if (!control->pictures.empty()) {
        picture = control->pictures[0].get();
    }
    if (picture != nullptr) {
        DrawPicture(dc, *picture, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    }
    const auto& texts = control->tmpl.texts;
    const Text& caption = state < texts.size() && !texts[state].empty() ? texts[state] : control->tmpl.text;
    if (caption.empty()) {
        return;
    }
    const std::wstring wide = WideFromGbk(caption);
    HGDIOBJ old_font = SelectObject(dc, control->font != nullptr ? control->font : default_font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(
        dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : static_cast<COLORREF>(control->tmpl.text_colour.value_or(kBlack)));
    RECT text_rect = rect;
    if (pressed) {
        OffsetRect(&text_rect, 1, 1);
    }
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &text_rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old_font);
}

void Win32Desktop::DrawColourButton(ControlState* control, const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    InflateRect(&rect, -4, -4);
    if (pressed) {
        OffsetRect(&rect, 1, 1);
    }
    HBRUSH swatch = CreateSolidBrush(static_cast<COLORREF>(control->colour));
    FillRect(dc, &rect, swatch);
    DeleteObject(swatch);
    FrameRect(dc, &rect, GetSysColorBrush((item.itemState & ODS_DISABLED) != 0 ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
}

void Win32Desktop::ShowPage(ControlState* tabs, int page, bool move_focus) {
    ControlState* first = nullptr;
    for (const auto& control : tabs->window->controls) {
        if (control->tmpl.container != tabs->tmpl.name || control->hwnd == nullptr) {
            continue;
        }
        const bool shown = control->tmpl.page == page && control->tmpl.visible;
        ShowWindow(control->hwnd, shown ? SW_SHOWNA : SW_HIDE);
        if (shown && control->tmpl.tab_position > 0 && IsWindowEnabled(control->hwnd) &&
            (first == nullptr || control->tmpl.tab_position < first->tmpl.tab_position)) {
            first = control.get();
        }
    }
    if (move_focus && first != nullptr) {
        ::SetFocus(first->hwnd);
    }
}

std::vector<ControlState*> Win32Desktop::TabOrder(const WindowState* window) const {
    std::vector<ControlState*> order;
    for (const auto& control : window->controls) {
        if (control->tmpl.tab_position > 0 && control->hwnd != nullptr && IsWindowVisible(control->hwnd) &&
            IsWindowEnabled(control->hwnd)) {
            order.push_back(control.get());
        }
    }
    std::stable_sort(order.begin(), order.end(), [](const ControlState* a, const ControlState* b) {
        return a->tmpl.tab_position < b->tmpl.tab_position;
    });
    return order;
}

}  // namespace yz
