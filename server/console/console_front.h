#pragma once

// The maker's console on a listener of its own, apart from the public pages: nothing a writer
// stores is ever served on the console's origin. It listens on loopback unless the operator opens
// it further, and beyond loopback only over TLS (the operator's certificate and key): then every
// cookie it sets is Secure and every answer asks the browser for HTTPS from then on. The HTTP
// library serves it with its own workers; a request with Transfer-Encoding is refused before its
// body is read.

#include <httplib.h>

#include <atomic>
#include <memory>
#include <string>

#include "server/console/console.h"

namespace yz::console {

struct ConsoleTls {
    std::string certificate_file;  // PEM; both empty: plain HTTP
    std::string key_file;
};

// True for 127.0.0.0/8 and ::1 (numeric addresses only).
bool IsLoopbackAddress(const std::string& address);

class ConsoleFront {
  public:
    explicit ConsoleFront(Console& console, const ConsoleTls& tls = {});
    ConsoleFront(const ConsoleFront&) = delete;
    ConsoleFront& operator=(const ConsoleFront&) = delete;

    // False when the certificate or key given cannot be loaded.
    bool valid() const { return http_->is_valid(); }

    // Listens on `address` (numeric IPv4 or IPv6) and `port` (0: a free one). The port, or -1.
    int Bind(const std::string& address, int port);
    // Serves until Stop(), which may come from any thread, also before Run (Run then returns at
    // once); Stop returns once Run has ended or will not begin.
    void Run();
    void Stop();

  private:
    std::unique_ptr<httplib::Server> http_;
    std::atomic<bool> stopping_ = false;
    std::atomic<bool> running_ = false;
};

}  // namespace yz::console
