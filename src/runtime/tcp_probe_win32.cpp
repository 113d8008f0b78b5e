#include <winsock2.h>

#include <windows.h>

#include <algorithm>

#include "runtime/net.h"
#include "runtime/net_session.h"

namespace yz {

bool TcpConnects(const Text& host, int port, int timeout_ms) {
    const std::optional<std::uint32_t> address = ResolveIPv4(host);
    if (!address || port < 1 || port > 65535) {
        return false;
    }
    const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (probe == INVALID_SOCKET) {
        return false;
    }
    u_long non_blocking = 1;
    ioctlsocket(probe, FIONBIO, &non_blocking);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<u_short>(port));
    target.sin_addr.s_addr = *address;
    bool connected = connect(probe, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0;
    if (!connected && WSAGetLastError() == WSAEWOULDBLOCK) {
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(probe, &writable);
        fd_set failed;
        FD_ZERO(&failed);
        FD_SET(probe, &failed);
        const int wait = std::max(timeout_ms, 0);
        timeval limit{wait / 1000, (wait % 1000) * 1000};
        connected = select(0, nullptr, &writable, &failed, &limit) > 0 && FD_ISSET(probe, &writable) != 0;
    }
    closesocket(probe);
    return connected;
}

}  // namespace yz
