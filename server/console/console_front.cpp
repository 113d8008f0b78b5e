#include "server/console/console_front.h"

#include <arpa/inet.h>
#include <time.h>

namespace yz::console {

bool IsLoopbackAddress(const std::string& address) {
    in_addr v4{};
    if (inet_pton(AF_INET, address.c_str(), &v4) == 1) {
        return (ntohl(v4.s_addr) >> 24) == 127;
    }
    in6_addr v6{};
    return inet_pton(AF_INET6, address.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

ConsoleFront::ConsoleFront(Console& console, const ConsoleTls& tls) {
    const bool secure = !tls.certificate_file.empty();
    if (secure) {
        http_ = std::make_unique<httplib::SSLServer>(tls.certificate_file.c_str(), tls.key_file.c_str());
    } else {
        http_ = std::make_unique<httplib::Server>();
    }
    http_->set_payload_max_length(kConsoleBodyLimit);
    // One request per connection: an idle kept-alive connection would hold one of the library's
    // few workers, and a handful of them would leave none for the maker.
    http_->set_keep_alive_max_count(1);
    http_->set_pre_routing_handler([](const httplib::Request& request, httplib::Response& response) {
        if (request.has_header("Transfer-Encoding")) {
            response.status = 411;
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    if (secure) {
        http_->set_post_routing_handler([](const httplib::Request&, httplib::Response& response) {
            const auto [first, last] = response.headers.equal_range("Set-Cookie");
            for (auto cookie = first; cookie != last; ++cookie) {
                cookie->second += "; Secure";
            }
            response.set_header("Strict-Transport-Security", "max-age=31536000");
        });
    }
    console.Bind(*http_);
}

int ConsoleFront::Bind(const std::string& address, int port) {
    if (port == 0) {
        return http_->bind_to_any_port(address);
    }
    return http_->bind_to_port(address, port) ? port : -1;
}

void ConsoleFront::Run() {
    running_ = true;
    if (!stopping_) {
        http_->listen_after_bind();
    }
    running_ = false;
}

void ConsoleFront::Stop() {
    stopping_ = true;
    // The library stops only a listener already running: ask until Run has ended (a Run that has
    // not begun sees stopping_ and returns at once).
    const timespec pause{.tv_sec = 0, .tv_nsec = 5'000'000};
    while (running_) {
        http_->stop();
        nanosleep(&pause, nullptr);
    }
}

}  // namespace yz::console
