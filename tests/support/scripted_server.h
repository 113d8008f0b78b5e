#pragma once

// A one-page web server on 127.0.0.1 for tests: it answers every connection with the same raw
// bytes (status line, headers and body as given) and closes, or holds the connection open after
// them, so that an empty answer is a server that never answers and a cut one a server that stops
// half-way. It keeps the head of the last request it received, so tests see the exact bytes a
// fetch sends.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "runtime/types.h"

namespace yz::test {

// "HTTP/1.0 <status>", a Content-Length header when asked for, a blank line and the body.
std::string HttpResponse(std::string_view body, bool with_length = true, std::string_view status = "200 OK");

class ScriptedServer {
  public:
    enum class Ending { kClose, kHoldOpen };

    // Sends `response` after each request, then closes the connection or holds it open until the
    // client gives up or the server is destroyed.
    explicit ScriptedServer(std::string response, Ending ending = Ending::kClose);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" + object.
    Text Address(const Text& object) const;
    // The last request's bytes up to and including the blank line after its headers.
    std::string LastRequest() const;
    // Its first line without the line break.
    std::string LastRequestLine() const;

  private:
    void Serve();
    void Handle(std::intptr_t connection);

    std::string response_;
    Ending ending_;
    int port_ = 0;
    std::intptr_t listener_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::string last_request_;
    std::thread thread_;
};

}  // namespace yz::test
