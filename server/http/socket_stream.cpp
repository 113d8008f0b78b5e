#include "server/http/socket_stream.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "server/http/http_front.h"
#include "server/http/request_line.h"

namespace yz::server {

namespace {

void AddressOf(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

long long NowMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

}  // namespace

SocketStream::SocketStream(int socket_fd)
    : fd_(socket_fd), request_deadline_ms_(NowMilliseconds() + kRequestSeconds * 1000) {}

bool SocketStream::Wait(short events) const {
    pollfd watched{.fd = fd_, .events = events, .revents = 0};
    int result = -1;
    do {
        long long wait_ms = kWaitSeconds * 1000;
        if (events == POLLIN) {
            wait_ms = std::min(wait_ms, request_deadline_ms_ - NowMilliseconds());
            if (wait_ms <= 0) {
                return false;
            }
        }
        result = poll(&watched, 1, static_cast<int>(wait_ms));
    } while (result < 0 && errno == EINTR);
    return result > 0;
}

bool SocketStream::is_readable() const {
    return pending_at_ < pending_.size() || Wait(POLLIN);
}

bool SocketStream::is_writable() const {
    return Wait(POLLOUT);
}

void SocketStream::ReadRequestLine() {
    line_read_ = true;
    // Longer lines than this are refused by the library anyway; stop gathering there.
    const std::size_t longest = kTargetLimit + 64;
    char byte_buffer[1024];
    while (pending_.find('\n') == std::string::npos && pending_.size() <= longest && Wait(POLLIN)) {
        const ssize_t n = recv(fd_, byte_buffer, sizeof byte_buffer, 0);
        if (n <= 0) {
            break;
        }
        pending_.append(byte_buffer, static_cast<std::size_t>(n));
    }
    const auto end = pending_.find('\n');
    if (end == std::string::npos) {
        return;
    }
    const bool carriage_return = end > 0 && pending_[end - 1] == '\r';
    const std::string line = pending_.substr(0, carriage_return ? end - 1 : end);
    pending_ = MendRequestLine(line) + pending_.substr(carriage_return ? end - 1 : end);
}

ssize_t SocketStream::read(char* ptr, size_t size) {
    if (!line_read_) {
        ReadRequestLine();
    }
    if (pending_at_ < pending_.size()) {
        const std::size_t n = std::min(size, pending_.size() - pending_at_);
        std::memcpy(ptr, pending_.data() + pending_at_, n);
        pending_at_ += n;
        return static_cast<ssize_t>(n);
    }
    if (!Wait(POLLIN)) {
        return -1;
    }
    return recv(fd_, ptr, size, 0);
}

ssize_t SocketStream::write(const char* ptr, size_t size) {
    if (!Wait(POLLOUT)) {
        return -1;
    }
    return send(fd_, ptr, size, MSG_NOSIGNAL);
}

void SocketStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        AddressOf(address, ip, port);
    }
}

void SocketStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        AddressOf(address, ip, port);
    }
}

}  // namespace yz::server
