#include "runtime/headless/headless_datagrams.h"

namespace yz {

namespace {

// How long one socket is watched before the next one gets its turn.
constexpr int kWaitSliceMs = 5;

}  // namespace

void HeadlessDatagrams::OpenWindow(const WindowTemplate& window) {
    for (const ControlTemplate& control : window.controls) {
        if (control.kind == ControlKind::kDatagramSocket) {
            Unit& unit = units_[{window.name, control.name}];
            unit.socket = std::make_unique<DatagramSocket>(control.port);
            unit.broadcast_address = control.broadcast_address;
        }
    }
}

void HeadlessDatagrams::CloseWindow(const Text& window) {
    std::erase_if(units_, [&](const auto& entry) { return entry.first.first == window; });
}

bool HeadlessDatagrams::Send(const ControlRef& ref, const Text& host, int port, const Bytes& data) {
    const auto found = units_.find({ref.window, ref.control});
    if (found == units_.end()) {
        return false;
    }
    const Text target = host.empty() ? found->second.broadcast_address : host;
    return IsLoopbackAddress(target) && found->second.socket->Send(target, port, data);
}

Bytes HeadlessDatagrams::Data(const ControlRef& ref) const {
    const auto found = units_.find({ref.window, ref.control});
    return found == units_.end() ? Bytes{} : found->second.data;
}

bool HeadlessDatagrams::Bound(const ControlRef& ref) const {
    const auto found = units_.find({ref.window, ref.control});
    return found != units_.end() && found->second.socket->bound();
}

std::optional<ControlRef> HeadlessDatagrams::TakeNext() {
    for (auto& [key, unit] : units_) {
        if (!unit.injected.empty()) {
            unit.data = std::move(unit.injected.front());
            unit.injected.erase(unit.injected.begin());
            return ControlRef{key.first, key.second};
        }
        // A poll first: most calls find nothing, and a read needs a buffer for the largest datagram.
        if (!unit.socket->WaitReadable(0)) {
            continue;
        }
        if (std::optional<Bytes> received = unit.socket->Receive()) {
            unit.data = std::move(*received);
            return ControlRef{key.first, key.second};
        }
    }
    return std::nullopt;
}

bool HeadlessDatagrams::Inject(const ControlRef& ref, const Bytes& data) {
    const auto found = units_.find({ref.window, ref.control});
    if (found == units_.end()) {
        return false;
    }
    found->second.injected.push_back(data);
    return true;
}

bool HeadlessDatagrams::WaitReadable(int milliseconds) {
    for (const auto& [key, unit] : units_) {
        if (!unit.injected.empty()) {
            return true;
        }
    }
    if (units_.size() == 1) {
        return units_.begin()->second.socket->WaitReadable(milliseconds);
    }
    for (int waited = 0; waited < milliseconds; waited += kWaitSliceMs * static_cast<int>(units_.size())) {
        for (auto& [key, unit] : units_) {
            if (unit.socket->WaitReadable(kWaitSliceMs)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace yz
