#include "runtime/datagram_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace yz {

namespace {

constexpr std::uintptr_t kNoSocket = ~std::uintptr_t{0};
constexpr std::size_t kLargestDatagram = 65535;

int Fd(std::uintptr_t handle) {
    return static_cast<int>(handle);
}

}  // namespace

DatagramSocket::DatagramSocket(int port) : handle_(kNoSocket) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return;
    }
    handle_ = static_cast<std::uintptr_t>(fd);
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    if (port < 0 || port > 65535) {
        return;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        return;
    }
    socklen_t length = sizeof local;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return;
    }
    port_ = ntohs(local.sin_port);
    bound_ = true;
}

DatagramSocket::~DatagramSocket() {
    if (handle_ != kNoSocket) {
        ::close(Fd(handle_));
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
    target.sin_port = htons(static_cast<std::uint16_t>(port));
    const ssize_t sent = ::sendto(Fd(handle_), data.data(), data.size(), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&target), sizeof target);
    return sent >= 0 && static_cast<std::size_t>(sent) == data.size();
}

std::optional<Bytes> DatagramSocket::Receive() {
    if (!bound_) {
        return std::nullopt;
    }
    Bytes buffer(kLargestDatagram);
    ssize_t received = 0;
    do {
        received = ::recv(Fd(handle_), buffer.data(), buffer.size(), MSG_DONTWAIT);
    } while (received < 0 && errno == EINTR);
    if (received < 0) {
        return std::nullopt;
    }
    buffer.resize(static_cast<std::size_t>(received));
    return buffer;
}

bool DatagramSocket::WaitReadable(int milliseconds) {
    if (!bound_) {
        return false;
    }
    pollfd watched{Fd(handle_), POLLIN, 0};
    return ::poll(&watched, 1, milliseconds < 0 ? 0 : milliseconds) > 0 && (watched.revents & POLLIN) != 0;
}

}  // namespace yz
