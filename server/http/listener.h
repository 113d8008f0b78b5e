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
//
// A request the caller can answer from memory (the showcase) is answered on this thread, without
// a worker: its answer is written as far as the socket takes it, the rest as the caller reads,
// within kSendSeconds. When the caller has sent nothing beyond its request by then, the connection
// is closed at once: with nothing unread, closing sends a plain end of stream, no reset.

#include <sys/socket.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
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

    // The whole answer to a whole request when it can be given at once; null: hand the request on.
    using AnswerAtOnce = std::function<std::shared_ptr<const std::string>(std::string_view request)>;

    // Runs until Stop(), every handed-on request is Finished() and every answer given at once is
    // written. For every whole request, on this thread, `answer_at_once` (when given) is asked
    // first, then `hand_on`; false from it means nobody can take it now (the caller gets 503).
    void Run(const std::function<bool(WholeRequest&&)>& hand_on, const AnswerAtOnce& answer_at_once = {});
    // From any thread, also before Run() (Run then returns at once).
    void Stop();
    // From any thread: the answer on `socket_fd` is written; the listener ends the connection.
    void Finished(int socket_fd);

  private:
    enum class Phase { kReading, kAnswering, kWriting, kClosing };
    struct Connection {
        Phase phase = Phase::kReading;
        std::string address_key;
        std::string remote_address;
        std::string received;
        std::shared_ptr<const std::string> answer;  // given at once, until written
        std::size_t sent = 0;                       // of `answer`
        std::size_t drained = 0;                    // bytes dropped while closing
        std::uint32_t watching = 0;                 // the epoll events asked for (0: not in the set)
        long long accepted_ms = 0;
        long long deadline_ms = 0;
    };

    void Accept();
    void Read(int fd, Connection& connection);
    // Writes the answer given at once as far as the socket takes it; all written: ends the
    // connection, at once when the caller sent nothing more (closing then resets nothing).
    void Write(int fd, Connection& connection);
    // Sends a bodiless answer with `status` as far as the socket takes it, then ends the connection.
    void Refuse(int fd, Connection& connection, int status);
    // Asks epoll for `events` on `fd` (0: takes it out of the set).
    void WatchAs(int fd, Connection& connection, std::uint32_t events);
    void StartClosing(int fd, Connection& connection);
    void Drain(int fd, Connection& connection);
    void Forget(int fd);
    void TakeFinished();
    // Ends connections past their deadline; when stopping, every one not answering or writing.
    void Expire(long long now, bool stopping);

    int listen_fd_ = -1;
    int epoll_fd_ = -1;
    int wake_fd_ = -1;
    std::atomic<bool> stopping_ = false;
    std::unordered_map<int, Connection> connections_;
    std::unordered_map<std::string, std::size_t> per_address_;
    const std::function<bool(WholeRequest&&)>* hand_on_ = nullptr;  // Run's, while it runs
    const AnswerAtOnce* answer_at_once_ = nullptr;
    std::size_t answering_ = 0;
    std::size_t writing_ = 0;
    std::mutex finished_mutex_;
    std::vector<int> finished_;
};

}  // namespace yz::server
