#pragma once

// The reachability check before online work: is the program's web server (at start), or the
// public portal (before a chat message), there at all?

#include <functional>

#include "runtime/net.h"
#include "runtime/types.h"

namespace yz {

// The probe time-outs: the server at start, the portal before each chat message.
constexpr int kServerProbeTimeoutMs = 2000;
constexpr int kPortalProbeTimeoutMs = 1500;

// The port a portal host is tried on when ICMP does not answer.
constexpr int kPortalPort = 80;

// The two probes the check uses; tests put others in their place.
struct ReachabilityProbes {
    std::function<int(const Text& host, int timeout_ms)> ping = Ping;
    std::function<bool(const Text& host, int port, int timeout_ms)> connect = TcpConnects;
};

// Reachable when an ICMP echo comes back within the time-out, however fast: a server on the same
// machine or network answers in under 2 ms and is there all the same. When ICMP is unavailable or
// blocked, a TCP connection to `port` accepted within the same time-out counts too.
bool ServerReachable(const Text& host, int port, int timeout_ms, const ReachabilityProbes& probes = {});

// The check for the web server behind `server_base_address` ("http://" + host, optional port):
// its host, and its port for the TCP fallback. False for an address that cannot be split.
bool WebServerReachable(const Text& server_base_address, int timeout_ms = kServerProbeTimeoutMs);

}  // namespace yz
