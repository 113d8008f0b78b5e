#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>

#include "runtime/net.h"
#include "runtime/net_session.h"

namespace yz {

namespace {

// An echo request is 8 bytes: type 8, code 0, checksum, identifier, sequence number; no data.
constexpr std::size_t kEchoSize = 8;

std::atomic<std::uint16_t> next_sequence{1};

std::uint16_t InternetChecksum(const std::uint8_t* data, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        sum += static_cast<std::uint32_t>(data[i] << 8 | data[i + 1]);
    }
    if (size % 2 != 0) {
        sum += static_cast<std::uint32_t>(data[size - 1] << 8);
    }
    while (sum >> 16 != 0) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum);
}

class Socket {
  public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

// An unprivileged ICMP datagram socket where the system allows one (the kernel then owns the
// identifier and hands back only our replies, without IP header); a raw socket otherwise, which
// needs root and sees every ICMP packet with its IP header.
int OpenIcmpSocket(bool& raw) {
    raw = false;
    const int datagram = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (datagram >= 0) {
        return datagram;
    }
    raw = true;
    return socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
}

// True when the packet is the echo reply to our request from `address`.
bool IsOurReply(const std::uint8_t* packet,
                std::size_t size,
                bool raw,
                std::uint16_t identifier,
                std::uint16_t sequence,
                std::uint32_t address,
                std::uint32_t from) {
    std::size_t at = 0;
    if (raw) {
        if (size < 20 || from != address) {
            return false;
        }
        at = static_cast<std::size_t>(packet[0] & 0x0F) * 4;
    }
    if (size < at + kEchoSize || packet[at] != ICMP_ECHOREPLY || packet[at + 1] != 0) {
        return false;
    }
    const std::uint16_t got_identifier = static_cast<std::uint16_t>(packet[at + 4] << 8 | packet[at + 5]);
    const std::uint16_t got_sequence = static_cast<std::uint16_t>(packet[at + 6] << 8 | packet[at + 7]);
    return got_sequence == sequence && (!raw || got_identifier == identifier);
}

}  // namespace

int Ping(const Text& host, int timeout_ms) {
    const std::optional<std::uint32_t> address = ResolveIPv4(host);
    if (!address) {
        return -1;
    }
    bool raw = false;
    const Socket icmp(OpenIcmpSocket(raw));
    if (icmp.fd() < 0) {
        return -1;
    }
    const std::uint16_t identifier = static_cast<std::uint16_t>(getpid());
    const std::uint16_t sequence = next_sequence++;
    std::array<std::uint8_t, kEchoSize> request{ICMP_ECHO, 0, 0, 0};
    request[4] = static_cast<std::uint8_t>(identifier >> 8);
    request[5] = static_cast<std::uint8_t>(identifier);
    request[6] = static_cast<std::uint8_t>(sequence >> 8);
    request[7] = static_cast<std::uint8_t>(sequence);
    const std::uint16_t checksum = InternetChecksum(request.data(), request.size());
    request[2] = static_cast<std::uint8_t>(checksum >> 8);
    request[3] = static_cast<std::uint8_t>(checksum);

    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = *address;
    const std::int64_t start = MonotonicMilliseconds();
    if (sendto(icmp.fd(), request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&target),
               sizeof target) != static_cast<ssize_t>(request.size())) {
        return -1;
    }
    const std::int64_t deadline = start + std::max(timeout_ms, 0);
    std::array<std::uint8_t, 1500> packet{};
    for (;;) {
        const std::int64_t now = MonotonicMilliseconds();
        if (now > deadline) {
            return -1;
        }
        pollfd readable{icmp.fd(), POLLIN, 0};
        if (poll(&readable, 1, static_cast<int>(deadline - now)) <= 0) {
            return -1;
        }
        sockaddr_in from{};
        socklen_t from_size = sizeof from;
        const ssize_t got =
            recvfrom(icmp.fd(), packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&from), &from_size);
        if (got < 0) {
            return -1;
        }
        if (IsOurReply(packet.data(), static_cast<std::size_t>(got), raw, identifier, sequence, *address,
                       from.sin_addr.s_addr)) {
            return static_cast<int>(MonotonicMilliseconds() - start);
        }
    }
}

}  // namespace yz
