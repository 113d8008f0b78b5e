#include "app/chat_wiring.h"

#include "online/reachability.h"
#include "ui/names.h"

namespace yz {

void BindChat(UiService& ui, Chat& chat) {
    using namespace ui;
    const auto always = [](std::function<void()> action) {
        return [action = std::move(action)](const Event&) {
            action();
            return true;
        };
    };
    ui.BindMenu(kMainWindow, "文笔交互 Alt+E", [&chat] { chat.TogglePanel(); });
    ui.Bind(发言框, EventKind::kKeyDown, [&chat](const Event& event) { return chat.OnMessageKey(event.a, event.b); });
    ui.Bind(密令编框, EventKind::kKeyDown, [&chat](const Event& event) { return chat.OnCodeKey(event.a); });
    ui.Bind(客服编框, EventKind::kKeyDown, [&chat](const Event& event) { return chat.OnAnnouncementKey(event.a); });
    ui.Bind(按钮1, EventKind::kClicked, always([&chat] { chat.CloseConsole(); }));
    ui.Bind(数据报, EventKind::kDatagramArrived, always([&chat] { chat.OnDatagramArrived(); }));
    ui.Bind(在线时钟, EventKind::kTick, always([&chat] { chat.OnPresenceTick(); }));
}

PortalProbe DeployedPortalProbe(const Deployment& deployment) {
    return [host = deployment.portal_host] { return ServerReachable(host, kPortalPort, kPortalProbeTimeoutMs); };
}

WindowTemplate WithDeployedDatagramUnits(WindowTemplate window, const Deployment& deployment) {
    for (ControlTemplate& control : window.controls) {
        if (control.kind == ControlKind::kDatagramSocket) {
            control.port = deployment.broadcast_port;
            control.broadcast_address = deployment.broadcast_address;
        }
    }
    return window;
}

}  // namespace yz
