// The reference the program is measured against: the least a Windows program does to show one
// window of the main window's size (500x645, centred, titled "bench reference"). With --editor it
// also holds a bare multi-line edit control at the editor's place, with the editor's styles and
// font and nothing behind it: no subclass, no handler, no layered window.

#include <windows.h>

#include <cwchar>

namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 645;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
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
    HWND window = CreateWindowExW(0, window_class.lpszClassName, L"bench reference", WS_POPUP | WS_SYSMENU, left, top,
                                  kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    if (std::wcsstr(command_line, L"--editor") != nullptr) {
        HWND editor = CreateWindowExW(
            0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 0, 35,
            458, 520, window, nullptr, instance, nullptr);
        HFONT font = CreateFontW(-24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体");
        SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(editor, EM_LIMITTEXT, 0, 0);
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
