#pragma once

// The public listener: one thread that accepts connections, gathers each request until it is
// whole, and only then hands it to a worker, so a caller that connects and stays silent, or sends
// its head a byte at a time, holds a connection slot and a few kilobytes but never a worker.
//
// Limits per connection: the head must be whole within kHeadMilliseconds of the connect and a
// body within kRequestMilliseconds; one address (an IPv6 caller's /64) holds at most
// kConnectionsPerAddress connections, all callers together kConnectionLimit; a connection holds
// at most its head (kHeadLimit) and its body (kBodyLimit) while it is read. After the answer the
// connection is ended gracefully here as well: the sending side first, then what the caller still
// sends is read and dropped for a short while, so the answer is not lost to a reset.

#include <sys/socket.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace yz::server {

inline constexpr int kHeadMilliseconds = 2000;
inline constexpr int kRequestMilliseconds = 10000;
inline constexpr std::size_t kConnectionsPerAddress = 32;
inline constexpr std::size_t kConnectionLimit = 4096;

struct WholeRequest {
    int socket_fd = -1;  // non-blocking; give it back with Finished()
    std::string bytes;   // the head and its body
    std::string remote_address;
};

class Listener {
  public:
    Listener();
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // Listens on `address` (numeric IPv4 or IPv6) and `port` (0: a free one). The port, or -1.
    int Bind(const std::string& address, int port);

    // Runs until Stop() and every handed-on request is Finished(). `hand_on` runs on this thread
    // for every whole request; false means nobody can take it now (the caller gets 503).
    void Run(const std::function<bool(WholeRequest&&)>& hand_on);
    // From any thread, also before Run() (Run then returns at once).
    void Stop();
    // From any thread: the answer on `socket_fd` is written; the listener ends the connection.
    void Finished(int socket_fd);

  private:
    enum class Phase { kReading, kAnswering, kClosing };
    struct Connection {
        Phase phase = Phase::kReading;
        std::string address_key;
        std::string remote_address;
        std::string received;
        std::size_t drained = 0;  // bytes dropped while closing
        long long accepted_ms = 0;
        long long deadline_ms = 0;
    };

    void Accept();
    void Read(int fd, Connection& connection, const std::function<bool(WholeRequest&&)>& hand_on);
    // Sends a bodiless answer with `status` as far as the socket takes it, then ends the connection.
    void Refuse(int fd, Connection& connection, int status);
    void StartClosing(int fd, Connection& connection);
    void Drain(int fd, Connection& connection);
    void Forget(int fd);
    void TakeFinished();
    void Expire(long long now);

    int listen_fd_ = -1;
    int epoll_fd_ = -1;
    int wake_fd_ = -1;
    std::atomic<bool> stopping_ = false;
    std::unordered_map<int, Connection> connections_;
    std::unordered_map<std::string, std::size_t> per_address_;
    std::size_t answering_ = 0;
    std::mutex finished_mutex_;
    std::vector<int> finished_;
};

}  // namespace yz::server
