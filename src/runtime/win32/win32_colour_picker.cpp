// The colour picker's palette: a pop-up under the colour button with a grid of colours and a
// last button that opens the full colour dialog. It never takes the activation (the window keeps
// its own), so it holds the mouse capture and closes on a click anywhere else.

#include "runtime/win32/win32_desktop.h"

#include <commdlg.h>
#include <windowsx.h>

#include "runtime/wide_win32.h"

namespace yz {

namespace {

constexpr wchar_t kPaletteClass[] = L"YzColourPalette";
constexpr int kColumns = 8;
constexpr int kRows = 5;
constexpr int kCell = 18;
constexpr int kMargin = 4;
constexpr int kButtonHeight = 22;
constexpr int kClientWidth = 2 * kMargin + kColumns * kCell;
constexpr int kClientHeight = 3 * kMargin + kRows * kCell + kButtonHeight;

constexpr COLORREF kColours[kColumns * kRows] = {
    RGB(0x00, 0x00, 0x00), RGB(0x99, 0x33, 0x00), RGB(0x33, 0x33, 0x00), RGB(0x00, 0x33, 0x00), RGB(0x00, 0x33, 0x66),
    RGB(0x00, 0x00, 0x80), RGB(0x33, 0x33, 0x99), RGB(0x33, 0x33, 0x33), RGB(0x80, 0x00, 0x00), RGB(0xFF, 0x66, 0x00),
    RGB(0x80, 0x80, 0x00), RGB(0x00, 0x80, 0x00), RGB(0x00, 0x80, 0x80), RGB(0x00, 0x00, 0xFF), RGB(0x66, 0x66, 0x99),
    RGB(0x80, 0x80, 0x80), RGB(0xFF, 0x00, 0x00), RGB(0xFF, 0x99, 0x00), RGB(0x99, 0xCC, 0x00), RGB(0x33, 0x99, 0x66),
    RGB(0x33, 0xCC, 0xCC), RGB(0x33, 0x66, 0xFF), RGB(0x80, 0x00, 0x80), RGB(0x99, 0x99, 0x99), RGB(0xFF, 0x00, 0xFF),
    RGB(0xFF, 0xCC, 0x00), RGB(0xFF, 0xFF, 0x00), RGB(0x00, 0xFF, 0x00), RGB(0x00, 0xFF, 0xFF), RGB(0x00, 0xCC, 0xFF),
    RGB(0x99, 0x33, 0x66), RGB(0xC0, 0xC0, 0xC0), RGB(0xFF, 0x99, 0xCC), RGB(0xFF, 0xCC, 0x99), RGB(0xFF, 0xFF, 0x99),
    RGB(0xCC, 0xFF, 0xCC), RGB(0xCC, 0xFF, 0xFF), RGB(0x99, 0xCC, 0xFF), RGB(0xCC, 0x99, 0xFF), RGB(0xFF, 0xFF, 0xFF),
};

struct Palette {
    ControlState* picker = nullptr;
    int hot = -1;  // the cell under the mouse; kColumns * kRows for the button
};

RECT CellRect(int index) {
    const int left = kMargin + (index % kColumns) * kCell;
    const int top = kMargin + (index / kColumns) * kCell;
    return {left, top, left + kCell, top + kCell};
}

RECT MoreRect() {
    const int top = 2 * kMargin + kRows * kCell;
    return {kMargin, top, kClientWidth - kMargin, top + kButtonHeight};
}

// The cell index at the point, kColumns * kRows for the button, -1 for neither.
int HitTest(POINT point) {
    for (int i = 0; i < kColumns * kRows; ++i) {
        const RECT cell = CellRect(i);
        if (PtInRect(&cell, point)) {
            return i;
        }
    }
    const RECT more = MoreRect();
    return PtInRect(&more, point) ? kColumns * kRows : -1;
}

void PaintPalette(HWND hwnd, const Palette& palette) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    for (int i = 0; i < kColumns * kRows; ++i) {
        RECT cell = CellRect(i);
        if (i == palette.hot) {
            FrameRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        InflateRect(&cell, -3, -3);
        HBRUSH brush = CreateSolidBrush(kColours[i]);
        FillRect(dc, &cell, brush);
        DeleteObject(brush);
        FrameRect(dc, &cell, GetSysColorBrush(COLOR_BTNSHADOW));
    }
    RECT more = MoreRect();
    DrawFrameControl(dc, &more, DFC_BUTTON, DFCS_BUTTONPUSH | (palette.hot == kColumns * kRows ? DFCS_HOT : 0));
    const std::wstring caption = WideFromGbk("其它颜色...");
    HGDIOBJ old_font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &more,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old_font);
    EndPaint(hwnd, &paint);
}

}  // namespace

void Win32Desktop::OpenPalette(ControlState* picker) {
    if (palette_ != nullptr) {
        DestroyWindow(palette_);
    }
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW window_class{};
        window_class.cbSize = sizeof(window_class);
        window_class.lpfnWndProc = PaletteProc;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        window_class.lpszClassName = kPaletteClass;
        registered = RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    RECT button{};
    GetWindowRect(picker->hwnd, &button);
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE);
    // The palette's top-left corner is the button's lower-left corner.
    palette_ =
        CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kPaletteClass, L"", WS_POPUP | WS_BORDER,
                        button.left, button.bottom, frame.right - frame.left, frame.bottom - frame.top,
                        picker->window->hwnd, nullptr, GetModuleHandleW(nullptr), new Palette{picker});
    if (palette_ != nullptr) {
        ShowWindow(palette_, SW_SHOWNOACTIVATE);
        SetCapture(palette_);
    }
}

void Win32Desktop::ChooseColourFor(ControlState* picker, Colour colour) {
    picker->colour = colour;
    InvalidateRect(picker->hwnd, nullptr, FALSE);
    RaiseFor(picker, EventKind::kColourChosen, colour);
}

void Win32Desktop::ChooseOtherColour(ControlState* picker) {
    const ControlRef ref{picker->window->tmpl.name, picker->tmpl.name};
    CHOOSECOLORW settings{};
    settings.lStructSize = sizeof(settings);
    settings.hwndOwner = picker->window->hwnd;
    settings.rgbResult = static_cast<COLORREF>(picker->colour);
    settings.lpCustColors = custom_colours_;
    settings.Flags = CC_RGBINIT | CC_FULLOPEN;
    // The dialog runs a loop of its own, in which the picker's window may close.
    if (ChooseColorW(&settings) && FindControl(ref) == picker) {
        ChooseColourFor(picker, static_cast<Colour>(settings.rgbResult));
    }
}

LRESULT CALLBACK Win32Desktop::PaletteProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* palette = reinterpret_cast<Palette*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        palette = static_cast<Palette*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(palette));
    }
    if (palette == nullptr) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_PAINT:
            PaintPalette(hwnd, *palette);
            return 0;
        case WM_MOUSEMOVE: {
            const int hot = HitTest(point);
            if (hot != palette->hot) {
                palette->hot = hot;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            if (HitTest(point) < 0) {
                DestroyWindow(hwnd);  // a click elsewhere closes it
            }
            return 0;
        case WM_LBUTTONUP: {
            const int hit = HitTest(point);
            if (hit < 0) {
                return 0;
            }
            ControlState* picker = palette->picker;
            Win32Desktop* desktop = picker->desktop;
            DestroyWindow(hwnd);  // frees `palette`
            if (hit < kColumns * kRows) {
                desktop->ChooseColourFor(picker, static_cast<Colour>(kColours[hit]));
            } else {
                desktop->ChooseOtherColour(picker);
            }
            return 0;
        }
        case WM_KEYDOWN:
            if (wparam == VK_ESCAPE) {
                DestroyWindow(hwnd);
            }
            return 0;
        case WM_CAPTURECHANGED:
        case WM_CANCELMODE:
            if (reinterpret_cast<HWND>(lparam) != hwnd) {
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
            }
            return 0;
        case WM_NCDESTROY: {
            Win32Desktop* desktop = palette->picker->desktop;
            if (desktop->palette_ == hwnd) {
                desktop->palette_ = nullptr;
            }
            delete palette;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace yz
