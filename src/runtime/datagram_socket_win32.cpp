// Winsock first: <windows.h> would otherwise bring in the old <winsock.h>.
#include <winsock2.h>

#include "runtime/datagram_socket.h"

namespace yz {

namespace {

constexpr std::size_t kLargestDatagram = 65535;

// Winsock stays started for the rest of the process once a socket was asked for.
bool StartWinsock() {
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

SOCKET Socket(std::uintptr_t handle) {
    return static_cast<SOCKET>(handle);
}

}  // namespace

DatagramSocket::DatagramSocket(int port) : handle_(static_cast<std::uintptr_t>(INVALID_SOCKET)) {
    if (!StartWinsock()) {
        return;
    }
    const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (socket == INVALID_SOCKET) {
        return;
    }
    handle_ = static_cast<std::uintptr_t>(socket);
    const BOOL on = TRUE;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
    ::setsockopt(socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
    u_long non_blocking = 1;
    ::ioctlsocket(socket, FIONBIO, &non_blocking);
    if (port < 0 || port > 65535) {
        return;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(static_cast<u_short>(port));
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        return;
    }
    int length = sizeof local;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return;
    }
    port_ = ntohs(local.sin_port);
    bound_ = true;
}

DatagramSocket::~DatagramSocket() {
    if (Socket(handle_) != INVALID_SOCKET) {
        ::closesocket(Socket(handle_));
    }
}

bool DatagramSocket::Send(const Text& host, int port, ByteView data) {
    const std::optional<std::uint32_t> address = ParseDottedAddress(host);
    if (!bound_ || port < 1 || port > 65535 || !address || data.size() > kLargestDatagram) {
        return false;
    }
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = htonl(*address);
    target.sin_port = htons(static_cast<u_short>(port));
    const int sent =
        ::sendto(Socket(handle_), reinterpret_cast<const char*>(data.data()), static_cast<int>(data.size()), 0,
                 reinterpret_cast<const sockaddr*>(&target), sizeof target);
    return sent != SOCKET_ERROR && static_cast<std::size_t>(sent) == data.size();
}

std::optional<Bytes> DatagramSocket::Receive() {
    if (!bound_) {
        return std::nullopt;
    }
    Bytes buffer(kLargestDatagram);
    const int received =
        ::recv(Socket(handle_), reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size()), 0);
    if (received == SOCKET_ERROR) {
        return std::nullopt;
    }
    buffer.resize(static_cast<std::size_t>(received));
    return buffer;
}

bool DatagramSocket::WaitReadable(int milliseconds) {
    if (!bound_) {
        return false;
    }
    milliseconds = milliseconds < 0 ? 0 : milliseconds;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(Socket(handle_), &readable);
    timeval wait{milliseconds / 1000, (milliseconds % 1000) * 1000};
    return ::select(0, &readable, nullptr, nullptr, &wait) > 0;
}

}  // namespace yz
