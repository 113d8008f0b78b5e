#pragma once

// The few TCP socket operations the test servers need, on 127.0.0.1 only, one implementation
// per platform.

#include <cstdint>
#include <string>
#include <string_view>

namespace yz::test {

using SocketId = std::intptr_t;
constexpr SocketId kNoSocket = -1;

// A listening socket on 127.0.0.1 and a free port chosen by the system; kNoSocket on failure.
SocketId ListenOnLoopback(int& port);

// The next connection, or kNoSocket when none came within the time.
SocketId AcceptWithin(SocketId listener, int timeout_ms);

enum class Received { kData, kClosed, kTimeout };

// Appends what arrives within the time to `into`.
Received ReceiveWithin(SocketId socket, int timeout_ms, std::string& into);

void SendAll(SocketId socket, std::string_view bytes);

void CloseSocket(SocketId socket);

// A loopback port on which nothing listens (it was free a moment ago): connections are refused.
int UnusedLoopbackPort();

}  // namespace yz::test
