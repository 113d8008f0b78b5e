#include <winsock2.h>
#include <ws2tcpip.h>

#include "support/loopback_socket.h"

namespace yz::test {

namespace {

bool Started() {
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

bool WaitReadable(SocketId socket, int timeout_ms) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(static_cast<SOCKET>(socket), &readable);
    timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    return select(0, &readable, nullptr, nullptr, &limit) == 1;
}

}  // namespace

SocketId ListenOnLoopback(int& port) {
    if (!Started()) {
        return kNoSocket;
    }
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) {
        return kNoSocket;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(listener, 16) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        closesocket(listener);
        return kNoSocket;
    }
    port = ntohs(address.sin_port);
    return static_cast<SocketId>(listener);
}

SocketId AcceptWithin(SocketId listener, int timeout_ms) {
    if (!WaitReadable(listener, timeout_ms)) {
        return kNoSocket;
    }
    const SOCKET accepted = accept(static_cast<SOCKET>(listener), nullptr, nullptr);
    return accepted == INVALID_SOCKET ? kNoSocket : static_cast<SocketId>(accepted);
}

Received ReceiveWithin(SocketId socket, int timeout_ms, std::string& into) {
    if (!WaitReadable(socket, timeout_ms)) {
        return Received::kTimeout;
    }
    char buffer[4096];
    const int got = recv(static_cast<SOCKET>(socket), buffer, sizeof buffer, 0);
    if (got <= 0) {
        return Received::kClosed;
    }
    into.append(buffer, static_cast<std::size_t>(got));
    return Received::kData;
}

void SendAll(SocketId socket, std::string_view bytes) {
    while (!bytes.empty()) {
        const int sent = send(static_cast<SOCKET>(socket), bytes.data(), static_cast<int>(bytes.size()), 0);
        if (sent <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

void CloseSocket(SocketId socket) {
    if (socket != kNoSocket) {
        closesocket(static_cast<SOCKET>(socket));
    }
}

int UnusedLoopbackPort() {
    int port = 0;
    CloseSocket(ListenOnLoopback(port));
    return port;
}

}  // namespace yz::test
