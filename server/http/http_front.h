#pragma once

// The pages on HTTP. The HTTP library parses each request and routes every GET to Pages with its
// decoded path and query values and the caller's address; connections are accepted here and served
// one request each by a fixed set of workers, through SocketStream, which mends raw "?" in query
// values before the library sees them. Requests beyond a sane size are refused before they reach a
// page: a target over kTargetLimit bytes (414), an announced body over kBodyLimit bytes (413).
// The maker's web console, when given, answers under /admin, whose forms may carry a picture.

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "server/console/console.h"
#include "server/pages/pages.h"

namespace yz::server {

// The longest work link with every byte percent-encoded fits, beside the other fields.
inline constexpr std::size_t kTargetLimit = 4096;
inline constexpr std::size_t kBodyLimit = 1024;
// Requests in progress at once, and accepted connections waiting for a worker; beyond that a new
// connection is closed at once.
inline constexpr std::size_t kWorkers = 16;
inline constexpr std::size_t kWaitingLimit = 1024;

class HttpFront {
  public:
    explicit HttpFront(Pages& pages, console::Console* console = nullptr);
    ~HttpFront();
    HttpFront(const HttpFront&) = delete;
    HttpFront& operator=(const HttpFront&) = delete;

    // Listens on `address` (numeric IPv4 or IPv6) and `port` (0: a free one). The port, or -1 when
    // it cannot be bound.
    int Bind(const std::string& address, int port);

    // Serves until Stop(); connections already accepted are answered before it returns.
    void Run();
    // From any thread, also before Run() (Run then returns at once).
    void Stop();

    // Reads one request from `stream` and writes the answer to it.
    void Serve(httplib::Stream& stream);

  private:
    class Router;
    void Work();

    std::unique_ptr<Router> router_;
    int listen_fd_ = -1;
    std::atomic<bool> stopping_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<int> waiting_;
};

}  // namespace yz::server
