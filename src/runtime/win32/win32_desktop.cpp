#include "runtime/win32/win32_desktop.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "runtime/fatal_error.h"
#include "runtime/wide_win32.h"
#include "runtime/win32/win32_balloon.h"
#include "runtime/win32/win32_fonts.h"

namespace yz {

namespace {

constexpr wchar_t kWindowClass[] = L"YzWindow";

std::int64_t SteadyMilliseconds() {
    return static_cast<std::int64_t>(GetTickCount64());
}

}  // namespace

Win32Desktop* Win32Desktop::current_ = nullptr;

ControlState::~ControlState() {
    if (datagram_window != nullptr) {
        DestroyWindow(datagram_window);  // before the socket closes, so nothing reports to it
    }
    if (font != nullptr) {
        DeleteObject(font);
    }
    if (back_brush != nullptr) {
        DeleteObject(back_brush);
    }
}

WindowState::~WindowState() {
    if (accelerators != nullptr) {
        DestroyAcceleratorTable(accelerators);
    }
    if (background_brush != nullptr) {
        DeleteObject(background_brush);
    }
    if (icon != nullptr) {
        DestroyIcon(icon);
    }
    if (tray_icon != nullptr) {
        DestroyIcon(tray_icon);
    }
}

Win32Desktop::Win32Desktop() {
    current_ = this;
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    window_class.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));      // IDI_APPLICATION
    window_class.lpszClassName = kWindowClass;
    RegisterClassExW(&window_class);  // an earlier desktop of this process may have registered it
    default_font_ = CreateGdiFont(DefaultFont());
}

Win32Desktop::~Win32Desktop() {
    std::vector<WindowState*> open;
    for (auto& entry : windows_) {
        open.push_back(entry.second.get());
    }
    for (WindowState* window : open) {
        DestroyWindowState(window);
    }
    if (palette_ != nullptr) {
        DestroyWindow(palette_);
    }
    buried_.clear();
    windows_.clear();
    DeleteObject(default_font_);
    if (off_key_brush_ != nullptr) {
        DeleteObject(off_key_brush_);
    }
    if (current_ == this) {
        current_ = nullptr;
    }
}

// ---- lookups

WindowState* Win32Desktop::FindWindowState(const Text& name) const {
    const auto found = windows_.find(name);
    return found != windows_.end() && found->second->hwnd != nullptr ? found->second.get() : nullptr;
}

ControlState* Win32Desktop::FindControl(const ControlRef& ref) const {
    ControlState* control = LookUpControl(ref);
    if (control != nullptr && control->deferred) {
        control->desktop->MakeControlWindow(control);
    }
    return control;
}

ControlState* Win32Desktop::LookUpControl(const ControlRef& ref) const {
    WindowState* window = FindWindowState(ref.window);
    if (window == nullptr || ref.control.empty()) {
        return nullptr;
    }
    for (const auto& control : window->controls) {
        if (control->tmpl.name == ref.control) {
            return control.get();
        }
    }
    return nullptr;
}

ControlState* Win32Desktop::ControlOf(HWND hwnd) const {
    const auto found = control_by_hwnd_.find(hwnd);
    return found != control_by_hwnd_.end() ? found->second : nullptr;
}

WindowState* Win32Desktop::WindowOf(HWND hwnd) const {
    const auto found = window_by_hwnd_.find(hwnd);
    return found != window_by_hwnd_.end() ? found->second : nullptr;
}

MenuEntry* Win32Desktop::FindMenuEntry(const ControlRef& ref) const {
    WindowState* window = FindWindowState(ref.window);
    if (window == nullptr || ref.control.empty()) {
        return nullptr;
    }
    for (MenuEntry& entry : window->menus) {
        if (entry.caption == ref.control) {
            return &entry;
        }
    }
    return nullptr;
}

ControlRef Win32Desktop::RefOf(HWND hwnd) const {
    // Walks up from inner windows (a list view's header, say) to the control that holds them.
    while (hwnd != nullptr) {
        if (const ControlState* control = ControlOf(hwnd)) {
            return {control->window->tmpl.name, control->tmpl.name};
        }
        if (const WindowState* window = WindowOf(hwnd)) {
            return {window->tmpl.name, {}};
        }
        hwnd = GetAncestor(hwnd, GA_PARENT);
    }
    return {};
}

HWND Win32Desktop::Handle(const ControlRef& ref) const {
    if (ref.control.empty()) {
        const WindowState* window = FindWindowState(ref.window);
        return window != nullptr ? window->hwnd : nullptr;
    }
    const ControlState* control = FindControl(ref);
    return control != nullptr ? control->hwnd : nullptr;
}

bool Win32Desktop::HasTrayIcon(const Text& window) const {
    const WindowState* state = FindWindowState(window);
    return state != nullptr && state->tray_shown;
}

HWND Win32Desktop::BalloonOf(const ControlRef& tip) const {
    const ControlState* control = FindControl(tip);
    return control != nullptr && IsWindow(control->balloon) ? control->balloon : nullptr;
}

// ---- events

void Win32Desktop::Bind(const ControlRef& ref, EventKind event, EventHandler handler) {
    handlers_[HandlerKey{ref.window, ref.control, event}] = std::move(handler);
}

void Win32Desktop::BindMenu(const Text& window, const Text& caption, MenuHandler handler) {
    menu_handlers_[{window, caption}] = std::move(handler);
}

bool Win32Desktop::Raise(const Text& window, const Text& control, EventKind kind, int a, int b, int c) {
    const auto found = handlers_.find(HandlerKey{window, control, kind});
    if (found == handlers_.end() || !found->second) {
        return true;
    }
    const EventHandler handler = found->second;  // a copy: the handler may bind its event anew
    const Event event{kind, {window, control}, a, b, c};
    return RunHandler([&] { return handler(event); });
}

bool Win32Desktop::RunHandler(const std::function<bool()>& handler) {
    if (fatal_) {
        return true;
    }
    ++depth_;
    try {
        const bool answer = handler();
        --depth_;
        return answer;
    } catch (...) {
        // Unwinding an exception through the system's frames is undefined: it stops here, and so
        // does the program.
        fatal_ = true;
        ReportFatalException(*this);
        ExitProcess(static_cast<UINT>(-1));
    }
}

bool Win32Desktop::RaiseFor(const ControlState* control, EventKind kind, int a, int b, int c) {
    if (control == nullptr || !control->window->live) {
        return true;
    }
    const Text window = control->window->tmpl.name;
    const Text name = control->tmpl.name;
    return Raise(window, name, kind, a, b, c);
}

bool Win32Desktop::RaiseForWindow(const WindowState* window, EventKind kind, int a, int b, int c) {
    if (window == nullptr || !window->live) {
        return true;
    }
    const Text name = window->tmpl.name;
    return Raise(name, {}, kind, a, b, c);
}

// ---- windows

bool Win32Desktop::LoadWindow(const WindowTemplate& settings, const Text& owner, bool modal) {
    if (WindowState* existing = FindWindowState(settings.name)) {
        ShowWindow(existing->hwnd, SW_SHOW);
        SetForegroundWindow(existing->hwnd);
        return true;
    }
    auto state = std::make_unique<WindowState>();
    WindowState* window = state.get();
    window->desktop = this;
    window->tmpl = settings;
    window->menus = settings.menus;
    window->modal = modal;
    if (const WindowState* owner_state = FindWindowState(owner)) {
        window->owner = owner_state->hwnd;
    }
    if (settings.background) {
        window->background_brush = CreateSolidBrush(static_cast<COLORREF>(*settings.background));
    }
    if (!settings.picture.empty()) {
        window->picture_pending = true;
    }

    const DWORD style =
        settings.border_style == 2 ? (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX) : WS_POPUP;
    int left = settings.rect.left;
    int top = settings.rect.top;
    if (settings.start_position == 1) {
        left = (GetSystemMetrics(SM_CXSCREEN) - settings.rect.width) / 2;
        top = (GetSystemMetrics(SM_CYSCREEN) - settings.rect.height) / 2;
    }
    const std::wstring title = WideFromGbk(settings.title);
    HWND hwnd = CreateWindowExW(0, kWindowClass, title.c_str(), style, left, top, settings.rect.width,
                                settings.rect.height, window->owner, nullptr, GetModuleHandleW(nullptr), window);
    if (hwnd == nullptr) {
        return false;
    }
    window_by_hwnd_[hwnd] = window;
    windows_[settings.name] = std::move(state);
    // Page controls are children of their tab control, which a template may list after them:
    // the controls that stand on the window come first, in template order, then those on pages.
    for (const bool on_pages : {false, true}) {
        for (std::size_t i = 0; i < settings.controls.size(); ++i) {
            if (settings.controls[i].container.empty() != on_pages) {
                CreateControl(window, settings.controls[i], static_cast<int>(i));
            }
        }
    }
    BuildAccelerators(window);
    PostMessageW(hwnd, kMakeDeferredControlsMessage, 0, 0);

    const Text name = settings.name;
    window->live = true;
    GetWindowRect(hwnd, &window->reported);
    // A window that its loading handlers close is never to be seen: it goes now, before it is
    // shown or painted, not when the close message comes round.
    const auto closed = [&] {
        if (FindWindowState(name) == window && window->close_asked) {
            DestroyWindowState(window);
        }
        return FindWindowState(name) != window;
    };
    RaiseForWindow(window, EventKind::kCreated);
    if (closed()) {
        return true;
    }
    RaiseForWindow(window, EventKind::kMoved, window->reported.left, window->reported.top);
    RaiseForWindow(window, EventKind::kResized, window->reported.right - window->reported.left,
                   window->reported.bottom - window->reported.top);
    if (closed()) {
        return true;
    }
    MakeShownControlWindows(window);
    if (window->visible_wanted) {
        ShowWindow(hwnd, SW_SHOW);
        // Painted with its controls now: a handler that blocks next leaves a finished window.
        RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        // Messages other programs sent to the new window meanwhile (a repaint asked for while it
        // was being painted) are answered now, not after that handler; under Wine this also
        // hands the painted window to the display.
        MSG sent{};
        PeekMessageW(&sent, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        if (window->pending_position_state && IsWindow(hwnd)) {
            const int pending = *window->pending_position_state;
            window->pending_position_state.reset();
            ApplyPositionState(window, pending);
        }
    }
    // Once painted, what its first look does not need; still before the handlers that run next.
    if (FindWindowState(name) == window) {
        if (!settings.icon.empty()) {
            window->icon = IconFromPicture(settings.icon);
            if (window->icon != nullptr) {
                SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(window->icon));
                SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(window->icon));
            }
        }
        OpenDeferredSockets(window);
    }
    if (modal && IsWindow(hwnd)) {
        if (window->owner != nullptr) {
            EnableWindow(window->owner, FALSE);
        }
        HWND owner_hwnd = window->owner;
        RunModal(hwnd);
        if (owner_hwnd != nullptr && IsWindow(owner_hwnd)) {
            EnableWindow(owner_hwnd, TRUE);
            SetActiveWindow(owner_hwnd);
        }
    }
    return true;
}

void Win32Desktop::CloseWindow(const Text& name, bool at_once) {
    WindowState* window = FindWindowState(name);
    if (window == nullptr) {
        return;
    }
    if (at_once) {
        DestroyWindowState(window);
    } else {
        window->close_asked = true;
        PostMessageW(window->hwnd, kDeferredCloseMessage, 0, 0);
    }
}

void Win32Desktop::DestroyWindowState(WindowState* window) {
    if (window == nullptr || window->hwnd == nullptr) {
        return;
    }
    // The owner comes back before the window goes, so the activation returns to it.
    if (window->modal && window->owner != nullptr && IsWindow(window->owner)) {
        EnableWindow(window->owner, TRUE);
    }
    DestroyWindow(window->hwnd);
}

void Win32Desktop::Bury(WindowState* window) {
    window_by_hwnd_.erase(window->hwnd);
    window->hwnd = nullptr;
    window->live = false;
    const auto found = windows_.find(window->tmpl.name);
    if (found != windows_.end() && found->second.get() == window) {
        buried_.push_back(std::move(found->second));
        windows_.erase(found);
    }
}

void Win32Desktop::ReleaseBuried() {
    // A handler further up the stack may still hold a state of a window it closed.
    if (depth_ == 0) {
        buried_.clear();
    }
}

bool Win32Desktop::Exists(const ControlRef& ref) const {
    if (ref.control.empty()) {
        return FindWindowState(ref.window) != nullptr;
    }
    if (const ControlState* control = LookUpControl(ref)) {
        return !IsVisualKind(control->tmpl.kind) || control->hwnd != nullptr || control->deferred;
    }
    return FindMenuEntry(ref) != nullptr;
}

void Win32Desktop::SetFocus(const ControlRef& ref) {
    if (HWND hwnd = Handle(ref)) {
        ::SetFocus(hwnd);
    }
}

ControlRef Win32Desktop::FocusedControl() const {
    return RefOf(GetFocus());
}

void Win32Desktop::ApplyPositionState(WindowState* window, int state) {
    window->position_state = state;
    if (!IsWindowVisible(window->hwnd)) {
        window->pending_position_state = state;
        return;
    }
    switch (state) {
        case 0:
            ShowWindow(window->hwnd, SW_SHOWNORMAL);
            break;
        case 1: {
            ShowWindow(window->hwnd, SW_RESTORE);
            RECT rect{};
            GetWindowRect(window->hwnd, &rect);
            const int width = rect.right - rect.left;
            const int height = rect.bottom - rect.top;
            SetWindowPos(window->hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                         (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        case 2:
            ShowWindow(window->hwnd, SW_MINIMIZE);
            break;
        case 3:
            ShowWindow(window->hwnd, SW_MAXIMIZE);
            break;
        default:
            break;
    }
}

// ---- layered windows, balloons, the rest

void Win32Desktop::SetWindowAlpha(const Text& name, int alpha) {
    const WindowState* window = FindWindowState(name);
    if (window == nullptr) {
        return;
    }
    if (alpha < 0 || alpha > 255) {
        alpha = 255;
    }
    SetWindowLongW(window->hwnd, GWL_EXSTYLE, WS_EX_LAYERED);
    SetLayeredWindowAttributes(window->hwnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void Win32Desktop::SetColourKey(const Text& name, Colour key) {
    const WindowState* window = FindWindowState(name);
    if (window == nullptr) {
        return;
    }
    SetWindowLongW(window->hwnd, GWL_EXSTYLE, GetWindowLongW(window->hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window->hwnd, static_cast<COLORREF>(key), 200, LWA_COLORKEY);
}

void Win32Desktop::SetBackgroundPicture(const Text& name, const Bytes& picture) {
    WindowState* window = FindWindowState(name);
    if (window == nullptr) {
        return;
    }
    window->picture_pending = false;
    window->background_picture = DecodePicture(picture);
    InvalidateRect(window->hwnd, nullptr, TRUE);
}

void Win32Desktop::ShowTip(const ControlRef& tip, int x, int y, const Text& rich_text, int icon, bool flag) {
    ControlState* control = FindControl(tip);
    if (control == nullptr || control->tmpl.kind != ControlKind::kBalloonTip) {
        return;
    }
    if (std::optional<BalloonRequest> now =
            control->balloon_queue.Offer(BalloonRequest{x, y, rich_text, icon, flag}, SteadyMilliseconds())) {
        PopUpBalloon(control, *now);
    }
    ScheduleBalloon(control);
}

void Win32Desktop::ShowDueBalloon(ControlState* control) {
    KillTimer(control->window->hwnd, control->timer_id);
    control->balloon_timer = false;
    if (std::optional<BalloonRequest> due = control->balloon_queue.TakeDue(SteadyMilliseconds())) {
        PopUpBalloon(control, *due);
    }
    ScheduleBalloon(control);
}

void Win32Desktop::ScheduleBalloon(ControlState* control) {
    if (control->balloon_timer) {
        return;
    }
    if (const std::optional<std::int64_t> wait = control->balloon_queue.NextDueIn(SteadyMilliseconds())) {
        control->balloon_timer = true;
        // A timer message comes only when no input or paint is waiting: balloons never hold the
        // writer up.
        SetTimer(control->window->hwnd, control->timer_id,
                 static_cast<UINT>(std::max<std::int64_t>(USER_TIMER_MINIMUM, *wait)), nullptr);
    }
}

void Win32Desktop::PopUpBalloon(ControlState* control, const BalloonRequest& request) {
    if (IsWindow(control->balloon)) {
        DestroyWindow(control->balloon);
    }
    const FontSpec font = control->tmpl.body_font.value_or(DefaultFont());
    control->balloon = ShowBalloon(control->window->hwnd, request.x, request.y,
                                   ParseRichText(request.rich_text, kBlack), font, request.icon);
    control->balloon_flag = request.flag;
}

void Win32Desktop::OpenUrl(const Text& address) {
    const std::wstring wide = WideFromGbk(address);
    ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int Win32Desktop::CursorX() const {
    POINT point{};
    GetCursorPos(&point);
    return point.x;
}

int Win32Desktop::CursorY() const {
    POINT point{};
    GetCursorPos(&point);
    return point.y;
}

int Win32Desktop::ScreenWidth() const {
    return GetSystemMetrics(SM_CXSCREEN);
}

int Win32Desktop::ScreenHeight() const {
    return GetSystemMetrics(SM_CYSCREEN);
}

}  // namespace yz
