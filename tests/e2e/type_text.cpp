// Types into an edit control of a Wine window, from inside Wine, as Unicode key events
// (KEYEVENTF_UNICODE): no character depends on the X keyboard map, so none can be lost the way
// characters typed with xdotool sometimes are under load.
//
// Usage: type_text.exe [--window TITLE] [--at X,Y] [--check | --expect] TEXT ...
// First it waits until the keyboard focus is in an edit control of the foreground window, titled
// TITLE when given, standing at X,Y in that window's client area when given, so nothing typed can
// land elsewhere, and until no Alt, Ctrl or Shift key is down: after a hotkey typed with xdotool
// the program may act before Wine has read the Alt key's release, and characters that came before
// that release would arrive as Alt chords. Then the arguments are typed one after the other, "{Enter}" in them as the
// Enter key itself, which the editor handles as a key. With --check it then waits until the control's text ends with
// what was typed ("{Enter}" being CR LF), so the program has taken every key before anything else happens. With
// --expect it types nothing and waits until the control's text is exactly the arguments. Every wait gives up after a
// minute. Exit code 0 on success; 1 when some key could not be queued; 2 when the focus never came to such a control; 3
// when its text never became what was typed or expected (the text it has goes to standard error in UTF-8).

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPatienceMs = 60000;

struct Options {
    const wchar_t* title = nullptr;
    bool at_given = false;
    POINT at{};
    bool check = false;
    bool expect = false;
    std::wstring text;  // the arguments one after the other
};

template <typename Condition>
bool WaitFor(Condition condition) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > kPatienceMs) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

std::wstring TitleOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

bool ModifierDown() {
    for (const int key : {VK_MENU, VK_CONTROL, VK_SHIFT}) {
        if ((GetAsyncKeyState(key) & 0x8000) != 0) {
            return true;
        }
    }
    return false;
}

// The focused edit control that the options describe, or null.
HWND FocusedEdit(const Options& options) {
    if (ModifierDown()) {
        return nullptr;
    }
    const HWND foreground = GetForegroundWindow();
    if (foreground == nullptr || (options.title != nullptr && TitleOf(foreground) != options.title)) {
        return nullptr;
    }
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info) || info.hwndFocus == nullptr ||
        !IsChild(foreground, info.hwndFocus)) {
        return nullptr;
    }
    wchar_t class_name[32] = {};
    GetClassNameW(info.hwndFocus, class_name, 32);
    if (_wcsicmp(class_name, L"Edit") != 0) {
        return nullptr;
    }
    if (options.at_given) {
        RECT rect{};
        GetWindowRect(info.hwndFocus, &rect);
        POINT corner{rect.left, rect.top};
        ScreenToClient(foreground, &corner);
        if (corner.x != options.at.x || corner.y != options.at.y) {
            return nullptr;
        }
    }
    return info.hwndFocus;
}

// The control's text, asked of its own thread (another process's edit text is not its caption).
std::wstring TextOf(HWND edit) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             5000, &copied)) {
        return {};
    }
    text.resize(copied);
    return text;
}

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

const std::wstring kEnter = L"{Enter}";

bool Type(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, kEnter.size(), kEnter) == 0) {
            AddKey(inputs, VK_RETURN, static_cast<WORD>(MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC)), 0);
            at += kEnter.size();
        } else {
            AddKey(inputs, 0, static_cast<WORD>(text[at]), KEYEVENTF_UNICODE);
            ++at;
        }
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// The text the keys leave in an edit control: each Enter is CR LF.
std::wstring Typed(std::wstring text) {
    for (std::size_t at = text.find(kEnter); at != std::wstring::npos; at = text.find(kEnter, at + 2)) {
        text.replace(at, kEnter.size(), L"\r\n");
    }
    return text;
}

int TextNeverCame(HWND edit) {
    const std::wstring text = TextOf(edit);
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
    std::fprintf(stderr, "the control holds: %s\n", utf8.c_str());
    return 3;
}

// Says where the focus is instead, so a test's --at can be set right.
int FocusNeverCame() {
    const HWND foreground = GetForegroundWindow();
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (foreground != nullptr && GetGUIThreadInfo(GetWindowThreadProcessId(foreground, nullptr), &info) &&
        info.hwndFocus != nullptr) {
        RECT rect{};
        GetWindowRect(info.hwndFocus, &rect);
        POINT corner{rect.left, rect.top};
        ScreenToClient(foreground, &corner);
        wchar_t class_name[32] = {};
        GetClassNameW(info.hwndFocus, class_name, 32);
        std::fprintf(stderr, "the focus is in a %ls at %ld,%ld\n", class_name, corner.x, corner.y);
    }
    return 2;
}

Options Parse(int argc, wchar_t** argv) {
    Options options;
    int i = 1;
    for (; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--window" && i + 1 < argc) {
            options.title = argv[++i];
        } else if (option == L"--at" && i + 1 < argc) {
            options.at_given = std::swscanf(argv[++i], L"%ld,%ld", &options.at.x, &options.at.y) == 2;
        } else if (option == L"--check") {
            options.check = true;
        } else if (option == L"--expect") {
            options.expect = true;
        } else {
            break;
        }
    }
    for (; i < argc; ++i) {
        options.text += argv[i];
    }
    return options;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const Options options = Parse(argc, argv);
    HWND edit = nullptr;
    if (!WaitFor([&] { return (edit = FocusedEdit(options)) != nullptr; })) {
        return FocusNeverCame();
    }
    const std::wstring wanted = Typed(options.text);
    if (options.expect) {
        return WaitFor([&] { return TextOf(edit) == wanted; }) ? 0 : TextNeverCame(edit);
    }
    if (!Type(options.text)) {
        return 1;
    }
    if (options.check && !WaitFor([&] {
            const std::wstring text = TextOf(edit);
            return text.size() >= wanted.size() &&
                   text.compare(text.size() - wanted.size(), wanted.size(), wanted) == 0;
        })) {
        return TextNeverCame(edit);
    }
    return 0;
}
