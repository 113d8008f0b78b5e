#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support/loopback_socket.h"

namespace yz::test {

namespace {

bool WaitReadable(SocketId socket, int timeout_ms) {
    pollfd readable{static_cast<int>(socket), POLLIN, 0};
    return poll(&readable, 1, timeout_ms) == 1;
}

}  // namespace

SocketId ListenOnLoopback(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return kNoSocket;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(fd, 16) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        close(fd);
        return kNoSocket;
    }
    port = ntohs(address.sin_port);
    return fd;
}

SocketId AcceptWithin(SocketId listener, int timeout_ms) {
    if (!WaitReadable(listener, timeout_ms)) {
        return kNoSocket;
    }
    const int fd = accept4(static_cast<int>(listener), nullptr, nullptr, SOCK_CLOEXEC);
    return fd < 0 ? kNoSocket : fd;
}

Received ReceiveWithin(SocketId socket, int timeout_ms, std::string& into) {
    if (!WaitReadable(socket, timeout_ms)) {
        return Received::kTimeout;
    }
    char buffer[4096];
    const ssize_t got = recv(static_cast<int>(socket), buffer, sizeof buffer, 0);
    if (got <= 0) {
        return Received::kClosed;
    }
    into.append(buffer, static_cast<std::size_t>(got));
    return Received::kData;
}

void SendAll(SocketId socket, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = send(static_cast<int>(socket), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

void CloseSocket(SocketId socket) {
    if (socket != kNoSocket) {
        close(static_cast<int>(socket));
    }
}

int UnusedLoopbackPort() {
    int port = 0;
    CloseSocket(ListenOnLoopback(port));
    return port;
}

}  // namespace yz::test
