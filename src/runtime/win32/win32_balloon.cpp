#include "runtime/win32/win32_balloon.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

#include "runtime/text.h"
#include "runtime/wide_win32.h"
#include "runtime/win32/win32_fonts.h"

namespace yz {

namespace {

Text AsciiLower(Text text) {
    for (char& ch : text) {
        if (ch >= 'A' && ch <= 'Z') {
            ch = static_cast<char>(ch - 'A' + 'a');
        }
    }
    return text;
}

Text Trim(const Text& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == Text::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<Colour> ColourByName(Text value) {
    value = Trim(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    if (value == "red") {
        return kRed;
    }
    if (value == "blue") {
        return kBlue;
    }
    if (value == "green") {
        return Colour{0x008000};
    }
    if (value == "black") {
        return kBlack;
    }
    if (value == "white") {
        return kWhite;
    }
    if (value.size() == 7 && value[0] == '#' && value.find_first_not_of("0123456789abcdef", 1) == Text::npos) {
        const long rgb = std::strtol(value.c_str() + 1, nullptr, 16);
        return static_cast<Colour>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
    }
    return std::nullopt;
}

// The character an entity at `at` stands for, and the entity's length.
std::optional<std::pair<char, std::size_t>> EntityAt(const Text& text, std::size_t at) {
    static constexpr std::pair<const char*, char> kEntities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}};
    for (const auto& [entity, character] : kEntities) {
        const std::string_view name(entity);
        if (text.compare(at, name.size(), name) == 0) {
            return std::pair{character, name.size()};
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<RichLine> ParseRichText(const Text& text, Colour base) {
    std::vector<RichLine> lines(1);
    std::vector<Colour> colours{base};
    Text run;
    const auto flush = [&] {
        if (!run.empty()) {
            lines.back().push_back({run, colours.back()});
            run.clear();
        }
    };
    const auto new_line = [&] {
        flush();
        lines.emplace_back();
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (IsGbkLeadByte(ch) && i + 1 < text.size()) {
            run.append(text, i, 2);
            i += 2;
            continue;
        }
        if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            new_line();
            i += 2;
            continue;
        }
        if (ch == '\n') {
            new_line();
            ++i;
            continue;
        }
        if (ch == '<') {
            // '>' is below every trail byte, so this never stops inside a character.
            const std::size_t close = text.find('>', i);
            if (close != Text::npos) {
                const Text tag = AsciiLower(Trim(text.substr(i + 1, close - i - 1)));
                bool known = true;
                if (tag == "br" || tag == "br/" || tag == "br /") {
                    new_line();
                } else if (tag == "/font") {
                    flush();
                    if (colours.size() > 1) {
                        colours.pop_back();
                    }
                } else if (tag.rfind("font ", 0) == 0 && tag.find("color") != Text::npos &&
                           tag.find('=') != Text::npos) {
                    flush();
                    // An unknown colour still opens a run, so its "</font>" closes the right one.
                    colours.push_back(ColourByName(tag.substr(tag.find('=') + 1)).value_or(colours.back()));
                } else {
                    known = false;
                }
                if (known) {
                    i = close + 1;
                    continue;
                }
            }
        }
        if (ch == '&') {
            const std::optional<std::pair<char, std::size_t>> entity = EntityAt(text, i);
            if (entity) {
                run.push_back(entity->first);
                i += entity->second;
                continue;
            }
        }
        run.push_back(static_cast<char>(ch));
        ++i;
    }
    flush();
    return lines;
}

namespace {

constexpr int kPadding = 8;
constexpr int kStem = 14;
constexpr int kStemOffset = 18;  // from the window's left edge to the stem's tip
constexpr int kRadius = 12;

}  // namespace

std::vector<RichLine> FitRichLines(const std::vector<RichLine>& lines,
                                   int max_width,
                                   int max_lines,
                                   const std::function<int(const Text&)>& width_of) {
    std::vector<RichLine> fitted;
    for (const RichLine& line : lines) {
        RichLine current;
        int width = 0;
        for (const RichRun& run : line) {
            Text piece;
            for (std::size_t i = 0; i < run.text.size();) {
                const std::size_t size =
                    IsGbkLeadByte(static_cast<unsigned char>(run.text[i])) && i + 1 < run.text.size() ? 2 : 1;
                const Text character = run.text.substr(i, size);
                i += size;
                const int character_width = width_of(character);
                if (width > 0 && width + character_width > max_width) {
                    if (!piece.empty()) {
                        current.push_back({piece, run.colour});
                        piece.clear();
                    }
                    fitted.push_back(std::move(current));
                    current.clear();
                    width = 0;
                }
                piece += character;
                width += character_width;
            }
            if (!piece.empty()) {
                current.push_back({piece, run.colour});
            }
        }
        fitted.push_back(std::move(current));
    }
    if (static_cast<int>(fitted.size()) > max_lines && max_lines > 0) {
        fitted.resize(static_cast<std::size_t>(max_lines));
        RichLine& last = fitted.back();
        last.push_back({"…", last.empty() ? kBlack : last.back().colour});
    }
    return fitted;
}

BalloonPlacement PlaceBalloon(int x, int y, int width, int height, const RECT& area) {
    BalloonPlacement placement;
    placement.left =
        std::clamp(x - kStemOffset, static_cast<int>(area.left), std::max<int>(area.left, area.right - width));
    placement.below = y + height <= area.bottom;
    placement.top = placement.below ? y : y - height;
    placement.top =
        std::clamp(placement.top, static_cast<int>(area.top), std::max<int>(area.top, area.bottom - height));
    placement.tip = std::clamp(x - placement.left, kRadius / 2, std::max(kRadius / 2, width - kRadius / 2));
    return placement;
}

namespace {

constexpr wchar_t kBalloonClass[] = L"YzBalloonTip";
constexpr int kIconSize = 16;
constexpr int kIconGap = 6;
constexpr int kMinimumWidth = 64;
constexpr UINT_PTR kHideTimer = 1;

struct Balloon {
    std::vector<RichLine> lines;
    HFONT font = nullptr;
    HICON icon = nullptr;
    int line_height = 0;
    int box_top = 0;
};

HICON SystemIcon(int icon) {
    switch (icon) {
        case 1:
            return LoadIconW(nullptr, MAKEINTRESOURCEW(32516));  // IDI_INFORMATION
        case 2:
            return LoadIconW(nullptr, MAKEINTRESOURCEW(32515));  // IDI_WARNING
        case 3:
            return LoadIconW(nullptr, MAKEINTRESOURCEW(32513));  // IDI_ERROR
        default:
            return nullptr;
    }
}

void Paint(HWND hwnd, Balloon& balloon) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(hwnd, region) != ERROR) {
        HBRUSH fill = CreateSolidBrush(GetSysColor(COLOR_INFOBK));
        FillRgn(dc, region, fill);
        DeleteObject(fill);
        FrameRgn(dc, region, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 1, 1);
    }
    DeleteObject(region);
    int left = kPadding;
    if (balloon.icon != nullptr) {
        DrawIconEx(dc, kPadding, balloon.box_top + kPadding, balloon.icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
        left += kIconSize + kIconGap;
    }
    HGDIOBJ old_font = SelectObject(dc, balloon.font);
    SetBkMode(dc, TRANSPARENT);
    int y = balloon.box_top + kPadding;
    for (const RichLine& line : balloon.lines) {
        int x = left;
        for (const RichRun& run : line) {
            const std::wstring wide = WideFromGbk(run.text);
            SIZE extent{};
            GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
            SetTextColor(dc, static_cast<COLORREF>(run.colour));
            TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
            x += extent.cx;
        }
        y += balloon.line_height;
    }
    SelectObject(dc, old_font);
    EndPaint(hwnd, &paint);
}

LRESULT CALLBACK BalloonProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* balloon = reinterpret_cast<Balloon*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
            break;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_TIMER:
            DestroyWindow(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            if (balloon != nullptr) {
                Paint(hwnd, *balloon);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            if (balloon != nullptr) {
                DeleteObject(balloon->font);
                delete balloon;
                SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

void RegisterBalloonClass() {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = BalloonProc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    window_class.lpszClassName = kBalloonClass;
    registered = RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND ShowBalloon(HWND owner, int x, int y, const std::vector<RichLine>& lines, const FontSpec& font, int icon) {
    RegisterBalloonClass();
    auto* balloon = new Balloon{{}, CreateGdiFont(font), SystemIcon(icon), 0, 0};

    HDC screen = GetDC(nullptr);
    HGDIOBJ old_font = SelectObject(screen, balloon->font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    balloon->line_height = metrics.tmHeight;
    const auto width_of = [screen](const Text& text) {
        const std::wstring wide = WideFromGbk(text);
        SIZE extent{};
        GetTextExtentPoint32W(screen, wide.c_str(), static_cast<int>(wide.size()), &extent);
        return static_cast<int>(extent.cx);
    };
    balloon->lines = FitRichLines(lines, kBalloonTextWidth, kBalloonLines, width_of);
    int text_width = 0;
    for (const RichLine& line : balloon->lines) {
        int width = 0;
        for (const RichRun& run : line) {
            width += width_of(run.text);
        }
        text_width = std::max(text_width, width);
    }
    SelectObject(screen, old_font);
    ReleaseDC(nullptr, screen);

    const int icon_width = balloon->icon != nullptr ? kIconSize + kIconGap : 0;
    const int box_width = std::max(kMinimumWidth, 2 * kPadding + icon_width + text_width);
    const int text_height = balloon->line_height * static_cast<int>(balloon->lines.size());
    const int box_height = 2 * kPadding + std::max(text_height, balloon->icon != nullptr ? kIconSize : 0);
    const int height = box_height + kStem;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    HMONITOR on = owner != nullptr ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                                   : MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST);
    if (!GetMonitorInfoW(on, &monitor)) {
        monitor.rcWork = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const auto [left, top, below, tip] = PlaceBalloon(x, y, box_width, height, monitor.rcWork);
    balloon->box_top = below ? kStem : 0;

    HRGN region =
        CreateRoundRectRgn(0, balloon->box_top, box_width + 1, balloon->box_top + box_height + 1, kRadius, kRadius);
    const int base = below ? kStem + 1 : box_height - 1;
    const int stem_far = tip + (tip + 20 < box_width - kRadius ? 20 : -20);
    const POINT stem[] = {{tip, below ? 0 : height}, {tip + (stem_far > tip ? 4 : -4), base}, {stem_far, base}};
    HRGN stem_region = CreatePolygonRgn(stem, 3, WINDING);
    CombineRgn(region, region, stem_region, RGN_OR);
    DeleteObject(stem_region);

    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kBalloonClass, L"", WS_POPUP, left,
                                top, box_width + 1, height + 1, owner, nullptr, GetModuleHandleW(nullptr), balloon);
    if (hwnd == nullptr) {
        DeleteObject(region);
        DeleteObject(balloon->font);
        delete balloon;
        return nullptr;
    }
    SetWindowRgn(hwnd, region, FALSE);  // the window owns the region now
    SetTimer(hwnd, kHideTimer, kBalloonMilliseconds, nullptr);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    return hwnd;
}

}  // namespace yz
