#include "online/reachability.h"

#include "runtime/net.h"
#include "runtime/web_address.h"

namespace yz {

bool ServerReachable(const Text& host, int port, int timeout_ms, const ReachabilityProbes& probes) {
    return probes.ping(host, timeout_ms) >= 0 || probes.connect(host, port, timeout_ms);
}

bool WebServerReachable(const Text& server_base_address, int timeout_ms) {
    const std::optional<WebAddress> parts = SplitWebAddress(server_base_address);
    return parts && ServerReachable(parts->host, parts->port, timeout_ms);
}

}  // namespace yz
