// What the program shows outside its windows' client areas: layered attributes, the tray icon,
// balloon tips, global hotkeys and web addresses handed to the browser; and the test's settings
// of the surroundings (cursor, screen, pictures the tray cannot use, hotkeys other programs own).

#include "runtime/headless/headless_desktop.h"
#include "runtime/headless/headless_scope.h"

namespace yz {

namespace {

constexpr int kTooltipBytes = 62;

}  // namespace

void HeadlessDesktop::SetWindowAlpha(const Text& window, int alpha) {
    WindowState* state = FindWindow(window);
    if (state == nullptr) {
        return;
    }
    // The extended style becomes layered alone, so an earlier colour key goes with the old style.
    state->layered = LayeredState{true, alpha < 0 || alpha > 255 ? 255 : alpha, std::nullopt};
}

void HeadlessDesktop::SetColourKey(const Text& window, Colour key) {
    WindowState* state = FindWindow(window);
    if (state == nullptr) {
        return;
    }
    // The attributes are set with the colour-key flag only, so an alpha set before stops applying.
    state->layered = LayeredState{true, std::nullopt, key};
}

void HeadlessDesktop::SetBackgroundPicture(const Text& window, const Bytes& picture) {
    if (WindowState* state = FindWindow(window)) {
        state->background_picture = picture;
    }
}

Bytes HeadlessDesktop::BackgroundPicture(const Text& window) const {
    const WindowState* state = FindWindow(window);
    return state == nullptr ? Bytes{} : state->background_picture;
}

LayeredState HeadlessDesktop::Layered(const Text& window) const {
    const WindowState* state = FindWindow(window);
    return state == nullptr ? LayeredState{} : state->layered;
}

void HeadlessDesktop::SetTrayIcon(const Text& window, const std::optional<Text>& picture, const Text& tooltip) {
    WindowState* state = FindWindow(window);
    if (state == nullptr) {
        return;
    }
    // A picture that cannot be loaded gives no icon, so one shown before is removed.
    if (!picture || picture->empty() || unusable_pictures_.count(*picture) != 0) {
        state->tray_icon.reset();
        return;
    }
    state->tray_icon = TrayIconState{*picture, tooltip.substr(0, kTooltipBytes)};
}

std::optional<TrayIconState> HeadlessDesktop::TrayIcon(const Text& window) const {
    const WindowState* state = FindWindow(window);
    return state == nullptr ? std::nullopt : state->tray_icon;
}

void HeadlessDesktop::ShowTip(const ControlRef& tip, int x, int y, const Text& rich_text, int icon, bool flag) {
    const ControlState* control = FindControl(tip);
    if (control == nullptr || control->kind() != ControlKind::kBalloonTip) {
        return;
    }
    balloons_.push_back(BalloonRecord{tip, x, y, rich_text, icon, flag});
}

int HeadlessDesktop::RegisterGlobalHotKey(const Text& watched_window,
                                          const ControlRef& receiver,
                                          int modifier,
                                          int virtual_key) {
    return hot_keys_.Register(watched_window, FindWindow(watched_window) != nullptr, receiver, modifier, virtual_key);
}

void HeadlessDesktop::ClaimHotKeyElsewhere(int modifiers, int virtual_key) {
    hot_keys_.ClaimForOtherProgram(KeyModifiersToFlags(modifiers), virtual_key);
}

void HeadlessDesktop::ReleaseHotKeyElsewhere(int modifiers, int virtual_key) {
    hot_keys_.ReleaseForOtherProgram(KeyModifiersToFlags(modifiers), virtual_key);
}

void HeadlessDesktop::OpenUrl(const Text& address) {
    opened_urls_.push_back(address);
}

void HeadlessDesktop::SetCursor(int x, int y) {
    cursor_x_ = x;
    cursor_y_ = y;
}

void HeadlessDesktop::SetScreenSize(int width, int height) {
    screen_width_ = width;
    screen_height_ = height;
}

std::vector<Text> HeadlessDesktop::WindowNames() const {
    std::vector<Text> names;
    for (const auto& window : windows_) {
        names.push_back(window->name());
    }
    return names;
}

int HeadlessDesktop::DatagramPort(const ControlRef& socket) const {
    const ControlState* control = FindControl(socket);
    return control == nullptr || control->kind() != ControlKind::kDatagramSocket ? 0 : control->made_from.port;
}

}  // namespace yz
