#pragma once

// One whole request, already received, as the HTTP library's stream: reads come from the
// request's bytes (its request line mended by MendRequestLine), writes go to the connection. The
// answer must be on its way within kSendSeconds, so a caller that stops reading frees the worker.

#include <httplib.h>
#include <sys/socket.h>

#include <string>

namespace yz::server {

inline constexpr int kSendSeconds = 5;

class SocketStream final : public httplib::Stream {
  public:
    // `socket_fd` is non-blocking and stays open; `remote_address` is the caller's, as pages see it.
    SocketStream(std::string request, int socket_fd, std::string remote_address);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return fd_; }

  private:
    // Waits until the answer can go on, until the send deadline.
    bool WaitWritable() const;

    std::string request_;
    std::size_t read_at_ = 0;
    int fd_;
    std::string remote_address_;
    long long send_deadline_ms_;
};

// Milliseconds on a monotonic clock.
long long MonotonicMilliseconds();

// The caller's address as text, an IPv4 caller of a dual-stack listener as plain IPv4; empty for
// other families.
std::string AddressText(const sockaddr_storage& address, int* port = nullptr);

}  // namespace yz::server
