// The reference the program is measured against: the least a Windows program does to show one
// window of the main window's size (500x645, centred, titled "bench reference"). With --editor it
// also holds a bare multi-line edit control at the editor's place, with the editor's styles and
// font and nothing behind it: no subclass, no handler, no layered window. --layered gives the
// window the main window's colour key on white. --backdrop puts a second window behind it, of the
// backdrop window's size, translucency and place, painting a picture from memory: under X without
// a compositor, every reshaping of the keyed window in front has the window behind repaint what it
// uncovers, as the program's backdrop does. --status adds a label above the editor, magenta on
// white as the program's status line, that shows the editor's line and character counts after
// every change: under the colour key each new count reshapes the window where its digits are.

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 645;
constexpr int kBackdropWidth = 455;
constexpr int kBackdropHeight = 600;
constexpr BYTE kBackdropAlpha = 60;

HDC backdrop_picture = nullptr;
HWND status_label = nullptr;
HBRUSH white_brush = nullptr;

// The counts after a change, from what the control knows without reading its text.
void ShowCounts(HWND editor) {
    wchar_t text[128];
    std::swprintf(text, 128, L"\x781a\x821f\x6587\x5323 v4.2  %d lines, %d characters",
                  static_cast<int>(SendMessageW(editor, EM_GETLINECOUNT, 0, 0)), GetWindowTextLengthW(editor));
    SetWindowTextW(status_label, text);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (status_label != nullptr && HIWORD(wparam) == EN_CHANGE) {
                ShowCounts(reinterpret_cast<HWND>(lparam));
            }
            break;
        case WM_CTLCOLORSTATIC:
            SetTextColor(reinterpret_cast<HDC>(wparam), RGB(255, 0, 255));
            SetBkColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 255));
            return reinterpret_cast<LRESULT>(white_brush);
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK BackdropProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(hwnd, &paint);
        const RECT& r = paint.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, backdrop_picture, r.left, r.top, SRCCOPY);
        EndPaint(hwnd, &paint);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

// A picture of the backdrop's size in a memory DC: soft colour bands, no white.
HDC MakeBackdropPicture() {
    HDC screen = GetDC(nullptr);
    HDC picture = CreateCompatibleDC(screen);
    SelectObject(picture, CreateCompatibleBitmap(screen, kBackdropWidth, kBackdropHeight));
    ReleaseDC(nullptr, screen);
    for (int y = 0; y < kBackdropHeight; y += 4) {
        HBRUSH band = CreateSolidBrush(RGB(200 + y % 40, 180 + y % 60, 150 + y % 90));
        const RECT rect{0, y, kBackdropWidth, y + 4};
        FillRect(picture, &rect, band);
        DeleteObject(band);
    }
    return picture;
}

HWND MakeBackdrop(HINSTANCE instance) {
    WNDCLASSW backdrop_class{};
    backdrop_class.lpfnWndProc = BackdropProc;
    backdrop_class.hInstance = instance;
    backdrop_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    backdrop_class.lpszClassName = L"BenchBackdrop";
    RegisterClassW(&backdrop_class);
    backdrop_picture = MakeBackdropPicture();
    HWND backdrop = CreateWindowExW(WS_EX_LAYERED, backdrop_class.lpszClassName, L"bench backdrop", WS_POPUP,
                                    (GetSystemMetrics(SM_CXSCREEN) - kBackdropWidth) / 2,
                                    (GetSystemMetrics(SM_CYSCREEN) - kBackdropHeight) / 2, kBackdropWidth,
                                    kBackdropHeight, nullptr, nullptr, instance, nullptr);
    SetLayeredWindowAttributes(backdrop, 0, kBackdropAlpha, LWA_ALPHA);
    ShowWindow(backdrop, SW_SHOWNA);
    UpdateWindow(backdrop);
    return backdrop;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = L"BenchReference";
    RegisterClassW(&window_class);

    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    // The backdrop owns the window, which so stays in front of it.
    HWND owner = std::wcsstr(command_line, L"--backdrop") != nullptr ? MakeBackdrop(instance) : nullptr;
    HWND window = CreateWindowExW(0, window_class.lpszClassName, L"bench reference", WS_POPUP | WS_SYSMENU, left, top,
                                  kWidth, kHeight, owner, nullptr, instance, nullptr);
    if (std::wcsstr(command_line, L"--editor") != nullptr) {
        HWND editor = CreateWindowExW(
            0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 0, 35,
            458, 520, window, nullptr, instance, nullptr);
        HFONT font = CreateFontW(-24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体");
        SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(editor, EM_LIMITTEXT, 0, 0);
        if (std::wcsstr(command_line, L"--status") != nullptr) {
            white_brush = CreateSolidBrush(RGB(255, 255, 255));
            status_label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 16, 456, 18, window,
                                           nullptr, instance, nullptr);
            HFONT label_font =
                CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体");
            SendMessageW(status_label, WM_SETFONT, reinterpret_cast<WPARAM>(label_font), FALSE);
            ShowCounts(editor);
        }
    }
    if (std::wcsstr(command_line, L"--layered") != nullptr) {
        SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAttributes(window, RGB(255, 255, 255), 0, LWA_COLORKEY);
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
