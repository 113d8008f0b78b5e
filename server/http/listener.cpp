#include "server/http/listener.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "server/http/request_head.h"
#include "server/http/socket_stream.h"

namespace yz::server {

namespace {

// How long a finished connection may still send before it is closed, and how much of it is read.
constexpr int kClosingMilliseconds = 1000;
constexpr std::size_t kClosingDrainLimit = 64 * 1024;
constexpr std::size_t kReadChunk = 16 * 1024;
constexpr int kTickMilliseconds = 100;

// The key connections are counted under: the IPv4 address (`text`), or the /64 of an IPv6 one (one
// subscriber usually holds a whole /64).
std::string AddressKey(const sockaddr_storage& address, const std::string& text) {
    if (address.ss_family == AF_INET6) {
        sockaddr_storage prefix = address;
        auto& v6 = reinterpret_cast<sockaddr_in6&>(prefix);
        if (!IN6_IS_ADDR_V4MAPPED(&v6.sin6_addr)) {
            std::fill(v6.sin6_addr.s6_addr + 8, v6.sin6_addr.s6_addr + 16, 0);
            return AddressText(prefix) + "/64";
        }
    }
    return text;
}

const char* ReasonOf(int status) {
    switch (status) {
        case 400:
            return "Bad Request";
        case 411:
            return "Length Required";
        case 413:
            return "Payload Too Large";
        case 414:
            return "URI Too Long";
        case 431:
            return "Request Header Fields Too Large";
        default:
            return "Service Unavailable";
    }
}

constexpr std::uint32_t kReadable = EPOLLIN | EPOLLRDHUP;

void Watch(int epoll_fd, int fd, int operation = EPOLL_CTL_ADD, std::uint32_t events = kReadable) {
    epoll_event event{};
    event.events = events;
    event.data.fd = fd;
    epoll_ctl(epoll_fd, operation, fd, &event);
}

}  // namespace

Listener::Listener() : epoll_fd_(epoll_create1(EPOLL_CLOEXEC)), wake_fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    Watch(epoll_fd_, wake_fd_);
}

Listener::~Listener() {
    for (const auto& [fd, connection] : connections_) {
        close(fd);
    }
    for (const int fd : {listen_fd_, epoll_fd_, wake_fd_}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

int Listener::Bind(const std::string& address, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || found == nullptr) {
        return -1;
    }
    const int fd = socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const int yes = 1;
    const bool bound = fd >= 0 && setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) == 0 &&
                       bind(fd, found->ai_addr, found->ai_addrlen) == 0 && listen(fd, SOMAXCONN) == 0;
    freeaddrinfo(found);
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    if (!bound || getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    listen_fd_ = fd;
    Watch(epoll_fd_, listen_fd_);
    int bound_port = -1;
    AddressText(local, &bound_port);
    return bound_port;
}

void Listener::Run(const std::function<bool(WholeRequest&&)>& hand_on, const AnswerAtOnce& answer_at_once) {
    hand_on_ = &hand_on;
    answer_at_once_ = &answer_at_once;
    epoll_event events[256];
    long long next_expiry_ms = 0;
    while (!stopping_ || answering_ > 0 || writing_ > 0) {
        const int count = epoll_wait(epoll_fd_, events, 256, kTickMilliseconds);
        for (int i = 0; i < count; ++i) {
            const int fd = events[i].data.fd;
            if (fd == wake_fd_) {
                std::uint64_t ignored = 0;
                [[maybe_unused]] const auto n = read(wake_fd_, &ignored, sizeof ignored);
            } else if (fd == listen_fd_) {
                if (stopping_) {
                    epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, listen_fd_, nullptr);  // new callers wait in vain
                } else {
                    Accept();
                }
            } else if (const auto found = connections_.find(fd); found != connections_.end()) {
                if (found->second.phase == Phase::kReading) {
                    Read(fd, found->second);
                } else if (found->second.phase == Phase::kWriting) {
                    Write(fd, found->second);
                } else if (found->second.phase == Phase::kClosing) {
                    Drain(fd, found->second);
                }
            }
        }
        TakeFinished();
        // Deadlines are whole seconds; looking every tick is soon enough.
        if (const long long now = MonotonicMilliseconds(); stopping_ || now >= next_expiry_ms) {
            Expire(now, stopping_);
            next_expiry_ms = now + kTickMilliseconds;
        }
    }
}

void Listener::Stop() {
    stopping_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = write(wake_fd_, &one, sizeof one);
}

void Listener::Finished(int socket_fd) {
    {
        std::lock_guard lock(finished_mutex_);
        finished_.push_back(socket_fd);
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = write(wake_fd_, &one, sizeof one);
}

void Listener::Accept() {
    // A bounded batch per round, so a flood of connects cannot starve the connections already in.
    for (int round = 0; round < 256; ++round) {
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        const int fd = accept4(listen_fd_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            return;  // none waiting, or out of descriptors: the connection stays in the backlog
        }
        std::string text = AddressText(peer);
        std::string key = AddressKey(peer, text);
        std::size_t& held = per_address_[key];
        if (held >= kConnectionsPerAddress || connections_.size() >= kConnectionLimit) {
            if (held == 0) {
                per_address_.erase(key);
            }
            close(fd);
            continue;
        }
        ++held;
        const long long now = MonotonicMilliseconds();
        const auto added = connections_.emplace(fd, Connection{.phase = Phase::kReading,
                                                               .address_key = std::move(key),
                                                               .remote_address = std::move(text),
                                                               .received = {},
                                                               .accepted_ms = now,
                                                               .deadline_ms = now + kHeadMilliseconds});
        // Under load the request is usually in already: reading it now saves a round of waiting,
        // and one answered at once is never watched at all.
        Read(fd, added.first->second);
    }
}

void Listener::Read(int fd, Connection& connection) {
    const HeadVerdict before = JudgeRequest(connection.received);
    const std::size_t wanted = before.request_size > 0 ? before.request_size : kHeadLimit + 1;
    const std::size_t room = std::min(kReadChunk, wanted - std::min(wanted, connection.received.size()));
    char chunk[kReadChunk];
    const ssize_t n = recv(fd, chunk, std::max<std::size_t>(room, 1), 0);
    if (n <= 0) {
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            Forget(fd);
        } else {
            WatchAs(fd, connection, kReadable);
        }
        return;
    }
    connection.received.append(chunk, static_cast<std::size_t>(n));
    const HeadVerdict verdict = JudgeRequest(connection.received);
    if (verdict.state == HeadVerdict::State::kRefused) {
        Refuse(fd, connection, verdict.status);
        return;
    }
    if (verdict.state == HeadVerdict::State::kIncomplete) {
        if (verdict.request_size > 0) {
            // The head is whole; its body may take longer than the head, within bounds.
            connection.deadline_ms = connection.accepted_ms + kRequestMilliseconds;
        }
        WatchAs(fd, connection, kReadable);
        return;
    }
    connection.received.resize(verdict.request_size);  // a caller's extra bytes are not a request
    if (*answer_at_once_) {
        if (auto answer = (*answer_at_once_)(connection.received)) {
            connection.answer = std::move(answer);
            Write(fd, connection);
            return;
        }
    }
    WatchAs(fd, connection, 0);
    connection.phase = Phase::kAnswering;
    ++answering_;
    if (!(*hand_on_)(WholeRequest{
            .socket_fd = fd, .bytes = std::move(connection.received), .remote_address = connection.remote_address})) {
        --answering_;
        Refuse(fd, connection, 503);
    }
}

void Listener::Write(int fd, Connection& connection) {
    const std::string& answer = *connection.answer;
    while (connection.sent < answer.size()) {
        const ssize_t n = send(fd, answer.data() + connection.sent, answer.size() - connection.sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (connection.phase != Phase::kWriting) {
                // The rest goes as the caller reads; one that stops reading is dropped at the deadline.
                connection.phase = Phase::kWriting;
                connection.deadline_ms = MonotonicMilliseconds() + kSendSeconds * 1000LL;
                ++writing_;
                WatchAs(fd, connection, EPOLLOUT);
            }
            return;
        }
        if (n <= 0) {
            Forget(fd);
            return;
        }
        connection.sent += static_cast<std::size_t>(n);
    }
    connection.answer.reset();
    if (connection.phase == Phase::kWriting) {
        --writing_;
        connection.phase = Phase::kClosing;  // written: only the end of the connection is left
    }
    char more = 0;
    const ssize_t n = recv(fd, &more, 1, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))) {
        Forget(fd);
        return;
    }
    StartClosing(fd, connection);
}

void Listener::Refuse(int fd, Connection& connection, int status) {
    const std::string answer = "HTTP/1.1 " + std::to_string(status) + " " + ReasonOf(status) +
                               "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    // A few dozen bytes always fit in a fresh socket's buffer; a caller that does not read loses them.
    [[maybe_unused]] const auto n = send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
    StartClosing(fd, connection);
}

void Listener::WatchAs(int fd, Connection& connection, std::uint32_t events) {
    if (connection.watching == events) {
        return;
    }
    const int operation = connection.watching == 0 ? EPOLL_CTL_ADD : events == 0 ? EPOLL_CTL_DEL : EPOLL_CTL_MOD;
    Watch(epoll_fd_, fd, operation, events);
    connection.watching = events;
}

void Listener::StartClosing(int fd, Connection& connection) {
    WatchAs(fd, connection, kReadable);
    shutdown(fd, SHUT_WR);
    connection.phase = Phase::kClosing;
    connection.received.clear();
    connection.received.shrink_to_fit();
    connection.deadline_ms = MonotonicMilliseconds() + kClosingMilliseconds;
}

void Listener::Drain(int fd, Connection& connection) {
    char dropped[4096];
    const ssize_t n = recv(fd, dropped, sizeof dropped, 0);
    if (n > 0) {
        connection.drained += static_cast<std::size_t>(n);
        if (connection.drained <= kClosingDrainLimit) {
            return;
        }
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return;
    }
    Forget(fd);
}

void Listener::Forget(int fd) {
    const auto found = connections_.find(fd);
    if (found == connections_.end()) {
        return;
    }
    if (found->second.phase == Phase::kWriting) {
        --writing_;
    }
    const auto held = per_address_.find(found->second.address_key);
    if (held != per_address_.end() && --held->second == 0) {
        per_address_.erase(held);
    }
    connections_.erase(found);
    close(fd);  // also takes it out of the epoll set
}

void Listener::TakeFinished() {
    std::vector<int> done;
    {
        std::lock_guard lock(finished_mutex_);
        done.swap(finished_);
    }
    for (const int fd : done) {
        const auto found = connections_.find(fd);
        if (found == connections_.end()) {
            continue;
        }
        --answering_;
        StartClosing(fd, found->second);
    }
}

void Listener::Expire(long long now, bool stopping) {
    std::vector<int> expired;
    for (const auto& [fd, connection] : connections_) {
        const bool owed = connection.phase == Phase::kAnswering || connection.phase == Phase::kWriting;
        if (connection.phase != Phase::kAnswering && (connection.deadline_ms <= now || (stopping && !owed))) {
            expired.push_back(fd);
        }
    }
    for (const int fd : expired) {
        Forget(fd);
    }
}

}  // namespace yz::server
