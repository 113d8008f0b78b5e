#pragma once

// One accepted connection as the HTTP library's stream, with time limits so a caller that connects
// and stays silent, or sends its request a byte at a time, holds a worker for kRequestSeconds at
// most while the request comes in; each wait for the answer to go out is limited to kWaitSeconds.
// The request line is read whole first and mended (MendRequestLine) before the library sees it.

#include <httplib.h>

namespace yz::server {

inline constexpr int kWaitSeconds = 5;
inline constexpr int kRequestSeconds = 10;

class SocketStream final : public httplib::Stream {
  public:
    explicit SocketStream(int socket_fd);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return fd_; }

  private:
    // Waits until `events` are possible on the socket; reads also stop at the request deadline.
    bool Wait(short events) const;
    // Reads the first line (up to a sane length) into pending_ and mends it.
    void ReadRequestLine();

    int fd_;
    long long request_deadline_ms_;
    bool line_read_ = false;
    std::string pending_;
    std::size_t pending_at_ = 0;
};

}  // namespace yz::server
