#include "online/reachability.h"

#include <gtest/gtest.h>

#include "runtime/net.h"
#include "support/loopback_socket.h"
#include "support/scripted_server.h"

namespace yz {
namespace {

// A server on this machine answers the echo in 0 or 1 ms: reachable, whatever its port does.
TEST(ReachabilityTest, AFastEchoIsReachable) {
    const int closed = test::UnusedLoopbackPort();
    ASSERT_GE(Ping("127.0.0.1", kServerProbeTimeoutMs), 0);
    EXPECT_TRUE(ServerReachable("127.0.0.1", closed, kServerProbeTimeoutMs));
    EXPECT_TRUE(WebServerReachable("http://127.0.0.1:" + std::to_string(closed)));
}

// Every round trip counts, 0 ms included; without an echo (ICMP unavailable or blocked) the TCP
// connection to the server's port decides, with the same time-out.
TEST(ReachabilityTest, EchoFirstThenTheServersPort) {
    const test::ScriptedServer server(test::HttpResponse(""));
    const int closed = test::UnusedLoopbackPort();
    for (const int round_trip : {0, 1, 2, 1500}) {
        ReachabilityProbes probes;
        probes.ping = [round_trip](const Text&, int) { return round_trip; };
        probes.connect = [](const Text&, int, int) { return false; };
        EXPECT_TRUE(ServerReachable("127.0.0.1", closed, 1500, probes)) << round_trip;
    }
    ReachabilityProbes blocked;
    Text pinged;
    int connect_timeout = 0;
    blocked.ping = [&pinged](const Text& host, int) {
        pinged = host;
        return -1;
    };
    blocked.connect = [&connect_timeout](const Text& host, int port, int timeout_ms) {
        connect_timeout = timeout_ms;
        return TcpConnects(host, port, timeout_ms);
    };
    EXPECT_TRUE(ServerReachable("127.0.0.1", server.port(), 1500, blocked));
    EXPECT_EQ(pinged, "127.0.0.1");
    EXPECT_EQ(connect_timeout, 1500);
    EXPECT_FALSE(ServerReachable("127.0.0.1", closed, 1500, blocked));
}

TEST(ReachabilityTest, NothingToAskIsUnreachable) {
    EXPECT_FALSE(ServerReachable("", 80, 200));
    EXPECT_FALSE(WebServerReachable("not an address", 200));
    EXPECT_FALSE(WebServerReachable("", 200));
}

}  // namespace
}  // namespace yz
