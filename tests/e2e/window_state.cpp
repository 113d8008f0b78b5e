// Waits, from inside Wine, until top-level windows with a title reach a state that only Wine can
// tell: without a window manager on the virtual display a minimised Wine window stays drawn, and
// neither the keyboard focus inside a window nor a layered window's alpha shows on the screen.
// Usage: window_state.exe minimised|normal TITLE   every window so titled is minimised / shown
//        window_state.exe focus TITLE CLASS        the focus of the foreground window, titled
//                                                  TITLE, is in a control of window class CLASS
//        window_state.exe alpha TITLE N            a window so titled is layered with alpha N
// Exit code 0 when it came to that (within a minute), 3 when it did not or no such window exists,
// 2 for a wrong call.

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

enum class Wanted { kMinimised, kNormal, kFocus, kAlpha };

struct Search {
    Wanted wanted = Wanted::kNormal;
    std::wstring title;
    std::wstring detail;  // the class of the focused control, or the alpha
    int found = 0;
    int in_state = 0;
};

std::wstring TitleOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

bool InState(HWND window, const Search& search) {
    switch (search.wanted) {
        case Wanted::kMinimised:
            return IsIconic(window) != FALSE;
        case Wanted::kNormal:
            return IsIconic(window) == FALSE;
        case Wanted::kAlpha: {
            BYTE alpha = 0;
            DWORD flags = 0;
            return GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && (flags & LWA_ALPHA) != 0 &&
                   std::to_wstring(alpha) == search.detail;
        }
        case Wanted::kFocus: {
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            if (GetForegroundWindow() != window ||
                !GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || info.hwndFocus == nullptr ||
                !IsChild(window, info.hwndFocus)) {
                return false;
            }
            wchar_t class_name[64] = {};
            GetClassNameW(info.hwndFocus, class_name, 64);
            return _wcsicmp(class_name, search.detail.c_str()) == 0;
        }
    }
    return false;
}

BOOL CALLBACK Visit(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    if (search.title == TitleOf(window)) {
        ++search.found;
        search.in_state += InState(window, search) ? 1 : 0;
    }
    return TRUE;
}

bool Reached(Search search) {
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    if (search.wanted == Wanted::kMinimised || search.wanted == Wanted::kNormal) {
        return search.found > 0 && search.in_state == search.found;
    }
    return search.in_state > 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        return 2;
    }
    const std::wstring state = argv[1];
    Search search;
    search.title = argv[2];
    if (state == L"minimised" && argc == 3) {
        search.wanted = Wanted::kMinimised;
    } else if (state == L"normal" && argc == 3) {
        search.wanted = Wanted::kNormal;
    } else if (state == L"focus" && argc == 4) {
        search.wanted = Wanted::kFocus;
        search.detail = argv[3];
    } else if (state == L"alpha" && argc == 4) {
        search.wanted = Wanted::kAlpha;
        search.detail = argv[3];
    } else {
        return 2;
    }
    const DWORD start = GetTickCount();
    while (!Reached(search)) {
        if (GetTickCount() - start > 60000) {
            return 3;
        }
        Sleep(50);
    }
    return 0;
}
