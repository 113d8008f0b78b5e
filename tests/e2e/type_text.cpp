// Types into an edit control of a Wine window, from inside Wine, as Unicode key events
// (KEYEVENTF_UNICODE): no character depends on the X keyboard map, so none can be lost the way
// characters typed with xdotool sometimes are under load.
// Usage: type_text.exe [--window TITLE] TEXT|{Enter} ...
// It first waits (up to a minute) until the keyboard focus is in an edit control of the
// foreground window, titled TITLE when given, so nothing typed can land elsewhere; then each
// argument is typed in turn, "{Enter}" as the Enter key itself, which the editor handles as a key.
// Exit code 0 when every key was queued, 1 when some were not, 2 when the focus never came.

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

void AddKey(std::vector<INPUT>& inputs, WORD virtual_key, WORD scan, DWORD flags) {
    for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtual_key;
        input.ki.wScan = scan;
        input.ki.dwFlags = flags | up;
        inputs.push_back(input);
    }
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

bool FocusIsInEdit(const wchar_t* title) {
    const HWND foreground = GetForegroundWindow();
    if (foreground == nullptr || (title != nullptr && TextOf(foreground) != title)) {
        return false;
    }
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info) || info.hwndFocus == nullptr) {
        return false;
    }
    wchar_t class_name[32] = {};
    GetClassNameW(info.hwndFocus, class_name, 32);
    return (info.hwndFocus == foreground || IsChild(foreground, info.hwndFocus)) && _wcsicmp(class_name, L"Edit") == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int first = 1;
    const wchar_t* title = nullptr;
    if (argc > 2 && std::wcscmp(argv[1], L"--window") == 0) {
        title = argv[2];
        first = 3;
    }
    const DWORD start = GetTickCount();
    while (!FocusIsInEdit(title)) {
        if (GetTickCount() - start > 60000) {
            return 2;
        }
        Sleep(50);
    }
    std::vector<INPUT> inputs;
    for (int i = first; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"{Enter}") == 0) {
            AddKey(inputs, VK_RETURN, static_cast<WORD>(MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC)), 0);
            continue;
        }
        for (const wchar_t* unit = argv[i]; *unit != L'\0'; ++unit) {
            AddKey(inputs, 0, static_cast<WORD>(*unit), KEYEVENTF_UNICODE);
        }
    }
    const UINT queued = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return queued == inputs.size() ? 0 : 1;
}
