#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include "runtime/net_session.h"

namespace yz {

namespace {

// Winsock is started once for the rest of the run; the process's end releases it.
bool SocketsStarted() {
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

}  // namespace

std::optional<std::uint32_t> ResolveIPv4(const Text& host) {
    if (host.empty() || !SocketsStarted()) {
        return std::nullopt;
    }
    in_addr dotted{};
    if (inet_pton(AF_INET, host.c_str(), &dotted) == 1) {
        return dotted.s_addr;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return std::nullopt;
    }
    const std::uint32_t address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return address;
}

std::int64_t MonotonicMilliseconds() {
    return static_cast<std::int64_t>(GetTickCount64());
}

}  // namespace yz
