#pragma once

// The pages on HTTP. The listener gathers each request until it is whole and refuses what no
// client of these pages sends (see request_head.h); a fixed set of workers then answers each
// whole request: the HTTP library parses and routes it, every GET goes to Pages with its path,
// its query values (parsed here, see query.h) and the caller's address. The maker's console is
// not served here (see console/console_front.h). The showcase, asked for by every running copy
// every few seconds, is answered on the listener's thread from the kept body while it is current
// (see showcase_answer.h).
//
// Every page answer carries "X-Content-Type-Options: nosniff": what a writer sent is served as
// the plain text or picture it is declared as, never run by a browser as a page.

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "server/http/listener.h"
#include "server/pages/pages.h"

namespace yz::server {

// Requests answered at once, and whole requests waiting for a worker; beyond that a request is
// answered 503 at once.
inline constexpr std::size_t kWorkers = 32;
inline constexpr std::size_t kWaitingLimit = 1024;

class HttpFront {
  public:
    explicit HttpFront(Pages& pages);
    ~HttpFront();
    HttpFront(const HttpFront&) = delete;
    HttpFront& operator=(const HttpFront&) = delete;

    // Listens on `address` (numeric IPv4 or IPv6) and `port` (0: a free one). The port, or -1 when
    // it cannot be bound.
    int Bind(const std::string& address, int port);

    // Serves until Stop(); requests already whole are answered before it returns.
    void Run();
    // From any thread, also before Run() (Run then returns at once).
    void Stop();

    // Answers one whole request (as the listener hands it on) on `socket_fd`, which stays open.
    void Serve(std::string request, int socket_fd, const std::string& remote_address);

  private:
    class Router;
    void Work();
    // On the listener's thread: the showcase's whole answer for a plain request while it is current.
    std::shared_ptr<const std::string> AnswerAtOnce(std::string_view request);

    Pages& pages_;
    std::unique_ptr<Router> router_;
    // The last answer made by AnswerAtOnce and the body it holds; the listener's thread only.
    std::shared_ptr<const std::string> showcase_body_;
    std::shared_ptr<const std::string> showcase_answer_;
    Listener listener_;
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<WholeRequest> waiting_;
};

}  // namespace yz::server
