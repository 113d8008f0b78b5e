// Property reads and writes on windows, controls and menu entries.

#include "runtime/win32/win32_desktop.h"

#include <commctrl.h>

#include <algorithm>

#include "runtime/wide_win32.h"
#include "runtime/win32/win32_fonts.h"

namespace yz {

namespace {

Text WindowTextOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return GbkFromWide(text);
}

void SetWindowTextOf(HWND hwnd, const Text& text) {
    const std::wstring wide = WideFromGbk(text);
    SetWindowTextW(hwnd, wide.c_str());
}

// The rectangle in the parent's client coordinates (the screen for a top-level window).
RECT PlacedRect(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    if (HWND parent = (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) != 0 ? GetParent(hwnd) : nullptr) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

std::optional<std::int64_t> Geometry(HWND hwnd, Property property) {
    const RECT rect = PlacedRect(hwnd);
    switch (property) {
        case Property::kLeft:
            return rect.left;
        case Property::kTop:
            return rect.top;
        case Property::kWidth:
            return rect.right - rect.left;
        case Property::kHeight:
            return rect.bottom - rect.top;
        default:
            return std::nullopt;
    }
}

// A transparent label has no background of its own: the parent repaints under it, or its old
// text would stay visible.
void RedrawUnder(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Moves or sizes the window when the property is one of its rectangle's (false for any other).
// An unchanged value moves nothing: under Wine every move is a round trip to the server, and the
// start-up layout sets most controls where their templates already put them. A transparent label
// also has the parent repaint under its old and new place.
bool SetGeometry(HWND hwnd, Property property, std::int64_t value, bool repaint_under) {
    const RECT rect = PlacedRect(hwnd);
    int left = rect.left;
    int top = rect.top;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    switch (property) {
        case Property::kLeft:
            left = static_cast<int>(value);
            break;
        case Property::kTop:
            top = static_cast<int>(value);
            break;
        case Property::kWidth:
            width = static_cast<int>(value);
            break;
        case Property::kHeight:
            height = static_cast<int>(value);
            break;
        default:
            return false;
    }
    if (left == rect.left && top == rect.top && width == rect.right - rect.left && height == rect.bottom - rect.top) {
        return true;
    }
    if (repaint_under) {
        RedrawUnder(hwnd);  // where it was
    }
    SetWindowPos(hwnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (repaint_under) {
        RedrawUnder(hwnd);
    }
    return true;
}

bool HasCaption(ControlKind kind) {
    return kind == ControlKind::kEditBox || kind == ControlKind::kLabel || kind == ControlKind::kTransparentLabel ||
           kind == ControlKind::kButton || kind == ControlKind::kCheckBox;
}

bool HasFont(ControlKind kind) {
    return IsVisualKind(kind) || kind == ControlKind::kCommonDialog;
}

bool IsGeometry(Property property) {
    return property == Property::kLeft || property == Property::kTop || property == Property::kWidth ||
           property == Property::kHeight;
}

// The field of a template rectangle that a geometry property names.
int& RectField(Rect& rect, Property property) {
    switch (property) {
        case Property::kLeft:
            return rect.left;
        case Property::kTop:
            return rect.top;
        case Property::kWidth:
            return rect.width;
        default:
            return rect.height;
    }
}

bool IsFont(Property property) {
    return property == Property::kFontFace || property == Property::kFontSize || property == Property::kFontBold ||
           property == Property::kFontItalic || property == Property::kFontStrikeOut ||
           property == Property::kFontUnderline;
}

// What a control whose window is not made yet answers from its template copy. Whether a page
// control would show takes the page rule, and so its window.
bool KnownWithoutWindow(const ControlTemplate& settings, Property property) {
    if (property == Property::kVisible) {
        return !settings.visible || settings.container.empty();
    }
    if (property == Property::kText) {
        return settings.kind != ControlKind::kEditBox;  // an edit box's text is the writer's, in its window
    }
    return IsGeometry(property) || IsFont(property) || property == Property::kDisabled ||
           property == Property::kTextColour || property == Property::kBackColour;
}

// What such a control keeps in its template copy until its window is made. Showing it needs the
// window; so does an edit box's text, whose write is an event of its own.
bool KeptWithoutWindow(const ControlTemplate& settings, Property property, const PropertyValue& value) {
    if (property == Property::kVisible) {
        return !PropertyFlag(value) || (settings.visible && settings.container.empty());
    }
    if (property == Property::kText) {
        return settings.kind != ControlKind::kEditBox;
    }
    return KnownWithoutWindow(settings, property);
}

COLORREF ShownBackColour(ControlKind kind) {
    switch (kind) {
        case ControlKind::kEditBox:
        case ControlKind::kListBox:
        case ControlKind::kListView:
            return GetSysColor(COLOR_WINDOW);
        default:
            return GetSysColor(COLOR_BTNFACE);
    }
}

}  // namespace

PropertyValue Win32Desktop::GetProperty(const ControlRef& ref, Property property) const {
    if (ref.control.empty()) {
        const WindowState* window = FindWindowState(ref.window);
        return window != nullptr ? WindowProperty(window, property) : EmptyPropertyValue(property);
    }
    if (ControlState* control = LookUpControl(ref)) {
        if (control->deferred && !KnownWithoutWindow(control->tmpl, property)) {
            control->desktop->MakeControlWindow(control);
        }
        return ControlProperty(control, property);
    }
    if (const MenuEntry* entry = FindMenuEntry(ref)) {
        return MenuProperty(*entry, property);
    }
    return EmptyPropertyValue(property);
}

void Win32Desktop::SetProperty(const ControlRef& ref, Property property, const PropertyValue& value) {
    if (ref.control.empty()) {
        if (WindowState* window = FindWindowState(ref.window)) {
            SetWindowProperty(window, property, value);
        }
    } else if (ControlState* control = LookUpControl(ref)) {
        if (control->deferred && !KeptWithoutWindow(control->tmpl, property, value)) {
            MakeControlWindow(control);
        }
        SetControlProperty(control, property, value);
    } else if (MenuEntry* entry = FindMenuEntry(ref)) {
        SetMenuProperty(*entry, property, value);
    }
}

PropertyValue Win32Desktop::WindowProperty(const WindowState* window, Property property) const {
    HWND hwnd = window->hwnd;
    if (const auto geometry = Geometry(hwnd, property)) {
        return *geometry;
    }
    switch (property) {
        case Property::kVisible:
            return IsWindowVisible(hwnd) != FALSE;
        case Property::kDisabled:
            return IsWindowEnabled(hwnd) == FALSE;
        case Property::kTitle:
        case Property::kText:
            return WindowTextOf(hwnd);
        case Property::kPositionState:
            if (IsIconic(hwnd)) {
                return std::int64_t{2};
            }
            if (IsZoomed(hwnd)) {
                return std::int64_t{3};
            }
            return std::int64_t{window->position_state == 1 ? 1 : 0};
        case Property::kAlwaysOnTop:
            return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        case Property::kBackColour:
            return std::int64_t{window->tmpl.background.value_or(static_cast<Colour>(GetSysColor(COLOR_BTNFACE)))};
        default:
            return EmptyPropertyValue(property);
    }
}

void Win32Desktop::SetWindowProperty(WindowState* window, Property property, const PropertyValue& value) {
    HWND hwnd = window->hwnd;
    if (SetGeometry(hwnd, property, PropertyNumber(value), false)) {
        return;
    }
    switch (property) {
        case Property::kVisible:
            window->visible_wanted = PropertyFlag(value);
            ShowWindow(hwnd, window->visible_wanted ? SW_SHOW : SW_HIDE);
            if (window->visible_wanted && window->pending_position_state) {
                const int pending = *window->pending_position_state;
                window->pending_position_state.reset();
                ApplyPositionState(window, pending);
            }
            break;
        case Property::kDisabled:
            EnableWindow(hwnd, !PropertyFlag(value));
            break;
        case Property::kTitle:
        case Property::kText:
            window->tmpl.title = PropertyText(value);
            SetWindowTextOf(hwnd, window->tmpl.title);
            break;
        case Property::kPositionState:
            ApplyPositionState(window, static_cast<int>(PropertyNumber(value)));
            break;
        case Property::kAlwaysOnTop:
            SetWindowPos(hwnd, PropertyFlag(value) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        case Property::kBackColour:
            window->tmpl.background = static_cast<Colour>(PropertyNumber(value));
            if (window->background_brush != nullptr) {
                DeleteObject(window->background_brush);
            }
            window->background_brush = CreateSolidBrush(static_cast<COLORREF>(*window->tmpl.background));
            RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            break;
        default:
            break;
    }
}

PropertyValue Win32Desktop::ControlProperty(const ControlState* control, Property property) const {
    const ControlTemplate& settings = control->tmpl;
    const ControlKind kind = settings.kind;
    HWND hwnd = control->hwnd;
    if (hwnd != nullptr) {
        if (const auto geometry = Geometry(hwnd, property)) {
            return *geometry;
        }
    } else if (control->deferred && IsGeometry(property)) {
        Rect rect = settings.rect;
        return std::int64_t{RectField(rect, property)};
    }
    const FontSpec font = settings.font.value_or(DefaultFont());
    switch (property) {
        case Property::kVisible:
            if (control->deferred) {
                return settings.visible;
            }
            return hwnd != nullptr && (GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
        case Property::kDisabled:
            if (control->deferred) {
                return !settings.enabled;
            }
            return hwnd != nullptr && (GetWindowLongW(hwnd, GWL_STYLE) & WS_DISABLED) != 0;
        case Property::kText:
            if (kind == ControlKind::kPictureButton) {
                return settings.text;
            }
            if (hwnd != nullptr && kind == ControlKind::kEditBox) {
                return control->edit_text.Read(hwnd);
            }
            if (control->deferred) {
                return HasCaption(kind) ? settings.text : Text();
            }
            return hwnd != nullptr && HasCaption(kind) ? WindowTextOf(hwnd) : Text();
        case Property::kTextColour:
            return std::int64_t{settings.text_colour.value_or(kBlack)};
        case Property::kBackColour:
            return std::int64_t{settings.back_colour.value_or(static_cast<Colour>(ShownBackColour(kind)))};
        case Property::kFontFace:
            return HasFont(kind) ? font.face : Text();
        case Property::kFontSize:
            return std::int64_t{HasFont(kind) ? PointsFromPixels(font.height_px) : 0};
        case Property::kFontBold:
            return HasFont(kind) && font.bold;
        case Property::kFontItalic:
            return HasFont(kind) && font.italic;
        case Property::kFontStrikeOut:
            return HasFont(kind) && font.strike_out;
        case Property::kFontUnderline:
            return HasFont(kind) && font.underline;
        case Property::kInputMode:
            return std::int64_t{kind == ControlKind::kEditBox ? settings.input_mode : 0};
        case Property::kChecked:
            return kind == ControlKind::kCheckBox && hwnd != nullptr &&
                   SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
        case Property::kSliderPosition:
            if (kind != ControlKind::kSlider || hwnd == nullptr) {
                return std::int64_t{0};
            }
            if (control->slider_written && !control->slider_moved) {
                return std::int64_t{*control->slider_written};
            }
            return std::int64_t{SendMessageW(hwnd, TBM_GETPOS, 0, 0)};
        case Property::kPeriod:
            return std::int64_t{kind == ControlKind::kTimer ? control->period : 0};
        case Property::kColour:
            return std::int64_t{kind == ControlKind::kColourPicker ? control->colour : 0};
        case Property::kDialogKind:
            return std::int64_t{kind == ControlKind::kCommonDialog ? control->dialog_kind : 0};
        case Property::kFileName:
            return kind == ControlKind::kCommonDialog ? control->file_name : Text();
        case Property::kFilter:
            return kind == ControlKind::kCommonDialog ? settings.filter : Text();
        case Property::kInitialDirectory:
            return kind == ControlKind::kCommonDialog ? control->initial_directory : Text();
        case Property::kDefaultExtension:
            return kind == ControlKind::kCommonDialog ? control->default_extension : Text();
        default:
            return EmptyPropertyValue(property);
    }
}

void Win32Desktop::SetControlProperty(ControlState* control, Property property, const PropertyValue& value) {
    ControlTemplate& settings = control->tmpl;
    const ControlKind kind = settings.kind;
    HWND hwnd = control->hwnd;
    const bool transparent = kind == ControlKind::kTransparentLabel;
    if (hwnd != nullptr && SetGeometry(hwnd, property, PropertyNumber(value), transparent)) {
        return;
    }
    if (control->deferred && IsGeometry(property)) {
        RectField(settings.rect, property) = static_cast<int>(PropertyNumber(value));
        return;
    }
    switch (property) {
        case Property::kVisible: {
            settings.visible = PropertyFlag(value);
            if (hwnd == nullptr) {
                break;
            }
            // A page control shows only while its page is the selected one.
            bool shown = settings.visible;
            if (const ControlState* tabs = settings.container.empty()
                                               ? nullptr
                                               : FindControl({control->window->tmpl.name, settings.container});
                tabs != nullptr && tabs->hwnd != nullptr && GetParent(hwnd) == tabs->hwnd) {
                shown = shown && SendMessageW(tabs->hwnd, TCM_GETCURSEL, 0, 0) == settings.page;
            }
            ShowWindow(hwnd, shown ? SW_SHOWNA : SW_HIDE);
            break;
        }
        case Property::kDisabled:
            settings.enabled = !PropertyFlag(value);
            if (hwnd != nullptr) {
                EnableWindow(hwnd, settings.enabled);
            }
            break;
        case Property::kText: {
            Text text = PropertyText(value);
            // The status line is written after every change of the editor; a label that already
            // shows the text is not repainted.
            const bool label = kind == ControlKind::kLabel || kind == ControlKind::kTransparentLabel;
            if (label && hwnd != nullptr && text == settings.text) {
                break;
            }
            settings.text = std::move(text);
            if (hwnd == nullptr) {
                break;
            }
            if (kind == ControlKind::kEditBox) {
                SetEditText(control, WideFromGbk(settings.text));
            } else if (kind == ControlKind::kLabel) {
                // The static control paints a new caption on the spot, which under Wine is a push
                // to the screen of its own (and a reshaping of a colour-keyed window). Written by a
                // typed character's handlers (the status line), the caption is stored through the
                // default handling and painted with the character; anywhere else at once, as the
                // work that follows may keep the message loop waiting.
                const std::wstring wide = WideFromGbk(settings.text);
                DefWindowProcW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
                InvalidateRect(hwnd, nullptr, TRUE);
                if (!in_character_) {
                    UpdateWindow(hwnd);
                }
            } else if (HasCaption(kind)) {
                SetWindowTextOf(hwnd, settings.text);
                if (transparent) {
                    RedrawUnder(hwnd);
                }
            } else if (kind == ControlKind::kPictureButton) {
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            break;
        }
        case Property::kTextColour:
        case Property::kBackColour:
            (property == Property::kTextColour ? settings.text_colour : settings.back_colour) =
                static_cast<Colour>(PropertyNumber(value));
            if (hwnd != nullptr) {
                ApplyBackColour(control);
                if (transparent) {
                    RedrawUnder(hwnd);
                }
            }
            break;
        case Property::kFontFace:
        case Property::kFontSize:
        case Property::kFontBold:
        case Property::kFontItalic:
        case Property::kFontStrikeOut:
        case Property::kFontUnderline:
            SetFontProperty(control, property, value);
            break;
        case Property::kInputMode:
            if (kind == ControlKind::kEditBox && hwnd != nullptr) {
                settings.input_mode = static_cast<int>(PropertyNumber(value));
                SendMessageW(hwnd, EM_SETREADONLY, settings.input_mode == kInputReadOnly, 0);
                const wchar_t mask =
                    settings.mask_character != 0 ? static_cast<wchar_t>(settings.mask_character) : L'*';
                SendMessageW(hwnd, EM_SETPASSWORDCHAR, settings.input_mode == kInputMasked ? mask : 0, 0);
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            break;
        case Property::kChecked:
            if (kind == ControlKind::kCheckBox && hwnd != nullptr) {
                SendMessageW(hwnd, BM_SETCHECK, PropertyFlag(value) ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            break;
        case Property::kSliderPosition:
            if (kind == ControlKind::kSlider && hwnd != nullptr) {
                const int position = static_cast<int>(std::clamp<std::int64_t>(PropertyNumber(value), 0, 32767));
                control->slider_written = position;
                control->slider_moved = false;
                SendMessageW(hwnd, TBM_SETPOS, TRUE, position);
            }
            break;
        case Property::kPeriod:
            if (kind == ControlKind::kTimer) {
                control->period = static_cast<int>(std::clamp<std::int64_t>(PropertyNumber(value), 0, 0x7FFFFFFF));
                KillTimer(control->window->hwnd, control->timer_id);
                if (control->period > 0) {
                    SetTimer(control->window->hwnd, control->timer_id, static_cast<UINT>(control->period), nullptr);
                }
            }
            break;
        case Property::kColour:
            if (kind == ControlKind::kColourPicker) {
                control->colour = static_cast<Colour>(PropertyNumber(value));
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            break;
        case Property::kDialogKind:
            control->dialog_kind = static_cast<int>(PropertyNumber(value));
            break;
        case Property::kFileName:
            control->file_name = PropertyText(value);
            break;
        case Property::kFilter:
            settings.filter = PropertyText(value);
            break;
        case Property::kInitialDirectory:
            control->initial_directory = PropertyText(value);
            break;
        case Property::kDefaultExtension:
            control->default_extension = PropertyText(value);
            break;
        default:
            break;
    }
}

void Win32Desktop::SetFontProperty(ControlState* control, Property property, const PropertyValue& value) {
    if (!HasFont(control->tmpl.kind)) {
        return;
    }
    FontSpec font = control->tmpl.font.value_or(DefaultFont());
    switch (property) {
        case Property::kFontFace:
            font.face = PropertyText(value);
            break;
        case Property::kFontSize:
            font.height_px = PixelsFromPoints(static_cast<int>(PropertyNumber(value)));
            break;
        case Property::kFontBold:
            font.bold = PropertyFlag(value);
            break;
        case Property::kFontItalic:
            font.italic = PropertyFlag(value);
            break;
        case Property::kFontStrikeOut:
            font.strike_out = PropertyFlag(value);
            break;
        case Property::kFontUnderline:
            font.underline = PropertyFlag(value);
            break;
        default:
            return;
    }
    control->tmpl.font = font;
    if (control->hwnd != nullptr) {
        ApplyFont(control);
        if (control->tmpl.kind == ControlKind::kTransparentLabel) {
            RedrawUnder(control->hwnd);
        }
    }
}

PropertyValue Win32Desktop::MenuProperty(const MenuEntry& entry, Property property) const {
    switch (property) {
        case Property::kVisible:
            return !entry.hidden;
        case Property::kDisabled:
            return entry.disabled;
        case Property::kChecked:
            return entry.checked;
        case Property::kText:
            return entry.caption;
        default:
            return EmptyPropertyValue(property);
    }
}

void Win32Desktop::SetMenuProperty(MenuEntry& entry, Property property, const PropertyValue& value) {
    // Menus are built when they drop, so a changed entry shows the next time.
    switch (property) {
        case Property::kVisible:
            entry.hidden = !PropertyFlag(value);
            break;
        case Property::kDisabled:
            entry.disabled = PropertyFlag(value);
            break;
        case Property::kChecked:
            entry.checked = PropertyFlag(value);
            break;
        default:
            break;
    }
}

}  // namespace yz
