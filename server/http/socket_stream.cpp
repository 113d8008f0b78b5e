#include "server/http/socket_stream.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "server/http/request_line.h"

namespace yz::server {

namespace {

std::string Mended(const std::string& request) {
    const auto end = request.find('\n');
    if (end == std::string::npos) {
        return request;
    }
    const std::size_t line_end = end > 0 && request[end - 1] == '\r' ? end - 1 : end;
    std::string mended = MendRequestLine(request.substr(0, line_end));
    mended.append(request, line_end, std::string::npos);
    return mended;
}

}  // namespace

long long MonotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

std::string AddressText(const sockaddr_storage& address, int* port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        if (port != nullptr) {
            *port = ntohs(v4.sin_port);
        }
    } else if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        if (IN6_IS_ADDR_V4MAPPED(&v6.sin6_addr)) {
            inet_ntop(AF_INET, &v6.sin6_addr.s6_addr[12], text, sizeof text);
        } else {
            inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        }
        if (port != nullptr) {
            *port = ntohs(v6.sin6_port);
        }
    }
    return text;
}

SocketStream::SocketStream(std::string request, int socket_fd, std::string remote_address)
    : request_(Mended(request)),
      fd_(socket_fd),
      remote_address_(std::move(remote_address)),
      send_deadline_ms_(MonotonicMilliseconds() + kSendSeconds * 1000) {}

bool SocketStream::WaitWritable() const {
    pollfd watched{.fd = fd_, .events = POLLOUT, .revents = 0};
    while (true) {
        const long long wait_ms = send_deadline_ms_ - MonotonicMilliseconds();
        if (wait_ms <= 0) {
            return false;
        }
        const int result = poll(&watched, 1, static_cast<int>(wait_ms));
        if (result >= 0 || errno != EINTR) {
            return result > 0 && (watched.revents & POLLOUT) != 0;
        }
    }
}

bool SocketStream::is_readable() const {
    return read_at_ < request_.size();
}

bool SocketStream::is_writable() const {
    return WaitWritable();
}

ssize_t SocketStream::read(char* ptr, size_t size) {
    const std::size_t n = std::min(size, request_.size() - read_at_);
    std::memcpy(ptr, request_.data() + read_at_, n);
    read_at_ += n;
    return static_cast<ssize_t>(n);
}

ssize_t SocketStream::write(const char* ptr, size_t size) {
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = send(fd_, ptr + sent, size - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && WaitWritable()) {
            continue;
        } else {
            return -1;
        }
    }
    return static_cast<ssize_t>(sent);
}

void SocketStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    ip = remote_address_;
    port = 0;
}

void SocketStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        ip = AddressText(address, &port);
    }
}

}  // namespace yz::server
