// Measures two Windows programs side by side from a third process, the way a writer meets them:
//
//   bench_probe startup RUNS TITLE_A DIR_A EXE_A TITLE_B DIR_B EXE_B
//     Starts each program RUNS times, alternating, and times the start to its window of that title
//     shown and painted (the window is visible, and a synchronous repaint of it and its children
//     has returned). Each copy is ended before the next start.
//
//   bench_probe typing KEYS TITLE_A DIR_A EXE_A TITLE_B DIR_B EXE_B TEXT_FILE...
//     Starts both programs once and finds the largest multi-line edit control in each window.
//     For an empty text and then for each GBK text file (named in the output by its file name), sets the text in both,
//     puts the caret at the end and times KEYS typed characters in each, alternating: a WM_CHAR sent to the editor (it
//     returns once every handler of the change has run) and then the repaint of whatever the change left to paint in
//     the window and its children.
//
// Medians are printed as "label median_ms" lines, and the ratio A/B; typing also gives the medians
// of the change and of the repaint alone, A / B.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Target {
    std::wstring title;
    std::wstring dir;
    std::wstring exe;
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
    HWND editor = nullptr;
};

double Now() {
    static LARGE_INTEGER frequency{};
    if (frequency.QuadPart == 0) {
        QueryPerformanceFrequency(&frequency);
    }
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0.0 : (n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0);
}

bool Start(Target& target) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    // EXE may carry arguments after its name: "reference_window.exe --editor".
    const std::size_t name_end = target.exe.find(L' ');
    std::wstring command = L"\"" + target.dir + L"\\" + target.exe.substr(0, name_end) + L"\"" +
                           (name_end == std::wstring::npos ? std::wstring() : target.exe.substr(name_end));
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, target.dir.c_str(), &startup,
                        &target.process)) {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", command.c_str(), GetLastError());
        return false;
    }
    return true;
}

void Stop(Target& target) {
    if (target.process.hProcess != nullptr) {
        TerminateProcess(target.process.hProcess, 0);
        WaitForSingleObject(target.process.hProcess, 10000);
        CloseHandle(target.process.hProcess);
        CloseHandle(target.process.hThread);
    }
    target.process = {};
    target.window = nullptr;
    target.editor = nullptr;
}

// The visible top-level window of that title belonging to the started process.
HWND ShownWindow(const Target& target) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, nullptr, target.title.c_str())) != nullptr) {
        DWORD process_id = 0;
        GetWindowThreadProcessId(window, &process_id);
        if (process_id == target.process.dwProcessId && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

bool WaitPainted(Target& target, double deadline_ms) {
    const double deadline = Now() + deadline_ms;
    while ((target.window = ShownWindow(target)) == nullptr) {
        if (Now() > deadline || WaitForSingleObject(target.process.hProcess, 0) == WAIT_OBJECT_0) {
            return false;
        }
        Sleep(1);
    }
    RedrawWindow(target.window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return true;
}

BOOL CALLBACK LargestEditor(HWND child, LPARAM data) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (lstrcmpiW(name, L"Edit") != 0 || (GetWindowLongW(child, GWL_STYLE) & ES_MULTILINE) == 0) {
        return TRUE;
    }
    auto* best = reinterpret_cast<HWND*>(data);
    auto area = [](HWND hwnd) {
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        return (rect.right - rect.left) * (rect.bottom - rect.top);
    };
    if (*best == nullptr || area(child) > area(*best)) {
        *best = child;
    }
    return TRUE;
}

std::wstring ReadGbkFile(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(936, 0, bytes.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(936, 0, bytes.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

// The time of one character: the WM_CHAR returns once the control and every handler of the
// change have run. The repaint that follows is then asked for at once: RedrawWindow finds the next
// part of the window that waits for a repaint in one request, however many child windows there
// are, and has the program paint it (a WM_PAINT sent to its thread) until none is left; the
// WM_NULL then waits for a paint the program had already begun from its own message loop.
// (Polling every child window for an update region costs the probe itself several milliseconds
// on a window with dozens of controls, and under load far more, against a fraction of a
// millisecond on the reference's single control.)
struct KeyTime {
    double change = 0;  // the WM_CHAR, every handler of the change included
    double paint = 0;   // the repaint that follows
};

KeyTime TypeOne(const Target& target, wchar_t character) {
    const double start = Now();
    SendMessageW(target.editor, WM_CHAR, character, 1);
    const double changed = Now();
    RedrawWindow(target.window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageW(target.window, WM_NULL, 0, 0);
    return {changed - start, Now() - changed};
}

// Wine carries the text of a message to another process in one server request, which has a size
// limit: the text goes in parts, each put at the end.
void SetText(const Target& target, const std::wstring& text) {
    constexpr std::size_t kPart = 32768;
    SendMessageW(target.editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (std::size_t at = 0; at < text.size(); at += kPart) {
        const std::wstring part = text.substr(at, kPart);
        SendMessageW(target.editor, EM_SETSEL, at, static_cast<LPARAM>(at));
        SendMessageW(target.editor, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(part.c_str()));
    }
    const auto end = static_cast<WPARAM>(text.size());
    if (static_cast<int>(SendMessageW(target.editor, WM_GETTEXTLENGTH, 0, 0)) != static_cast<int>(end)) {
        std::fwprintf(stderr, L"%ls holds %d characters, not %zu\n", target.exe.c_str(),
                      static_cast<int>(SendMessageW(target.editor, WM_GETTEXTLENGTH, 0, 0)), text.size());
    }
    SendMessageW(target.editor, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(target.editor, EM_SCROLLCARET, 0, 0);
    RedrawWindow(target.window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int Startup(int runs, Target& a, Target& b) {
    std::vector<double> times[2];
    for (int run = 0; run < runs; ++run) {
        int index = 0;
        for (Target* target : {&a, &b}) {
            const double start = Now();
            if (!Start(*target) || !WaitPainted(*target, 60000)) {
                std::fwprintf(stderr, L"%ls: no painted window\n", target->exe.c_str());
                Stop(*target);
                return 1;
            }
            times[index++].push_back(Now() - start);
            Stop(*target);
        }
    }
    const double median_a = Median(times[0]);
    const double median_b = Median(times[1]);
    std::wprintf(L"startup %ls %.1f ms | %ls %.1f ms | ratio %.2f\n", a.exe.c_str(), median_a, b.exe.c_str(), median_b,
                 median_a / median_b);
    return 0;
}

int Typing(int keys, Target& a, Target& b, const std::vector<std::wstring>& files) {
    for (Target* target : {&a, &b}) {
        if (!Start(*target) || !WaitPainted(*target, 60000)) {
            std::fwprintf(stderr, L"%ls: no painted window\n", target->exe.c_str());
            return 1;
        }
        EnumChildWindows(target->window, LargestEditor, reinterpret_cast<LPARAM>(&target->editor));
        if (target->editor == nullptr) {
            std::fwprintf(stderr, L"%ls: no multi-line edit control\n", target->exe.c_str());
            return 1;
        }
    }
    // Each text is named by its file's name without the folder and the extension.
    std::vector<std::pair<std::wstring, std::wstring>> texts{{L"empty", std::wstring()}};
    for (const std::wstring& file : files) {
        const std::size_t name_start = file.find_last_of(L"\\/") + 1;
        const std::wstring name = file.substr(name_start, file.find_last_of(L'.') - name_start);
        texts.emplace_back(name, ReadGbkFile(file));
    }
    const wchar_t typed[] = L"砚舟文匣写作";
    for (const auto& [name, text] : texts) {
        SetText(a, text);
        SetText(b, text);
        // For each of the two: the whole key, its change and its repaint.
        std::vector<double> times[2][3];
        for (int key = -3; key < keys; ++key) {  // three keys first to warm both up
            const wchar_t character = typed[(key + 3) % 6];
            const KeyTime time_a = TypeOne(a, character);
            const KeyTime time_b = TypeOne(b, character);
            if (key >= 0) {
                int index = 0;
                for (const KeyTime& time : {time_a, time_b}) {
                    times[index][0].push_back(time.change + time.paint);
                    times[index][1].push_back(time.change);
                    times[index][2].push_back(time.paint);
                    ++index;
                }
            }
        }
        const double median_a = Median(times[0][0]);
        const double median_b = Median(times[1][0]);
        std::wprintf(L"typing %-20ls %7zu chars: %ls %.1f ms | %ls %.1f ms | ratio %.2f", name.c_str(), text.size(),
                     a.exe.c_str(), median_a, b.exe.c_str(), median_b, median_a / median_b);
        std::wprintf(L" (change %.1f / %.1f, repaint %.1f / %.1f)\n", Median(times[0][1]), Median(times[1][1]),
                     Median(times[0][2]), Median(times[1][2]));
        std::fflush(stdout);
    }
    Stop(a);
    Stop(b);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 9) {
        std::fwprintf(
            stderr,
            L"usage: bench_probe startup|typing COUNT TITLE_A DIR_A EXE_A TITLE_B DIR_B EXE_B [TEXT_FILE...]\n");
        return 2;
    }
    const std::wstring mode = argv[1];
    const int count = std::max(1, _wtoi(argv[2]));
    Target a{argv[3], argv[4], argv[5]};
    Target b{argv[6], argv[7], argv[8]};
    if (mode == L"startup") {
        return Startup(count, a, b);
    }
    return Typing(count, a, b, std::vector<std::wstring>(argv + 9, argv + argc));
}
