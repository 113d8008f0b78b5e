#include "server/http/http_front.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <charconv>
#include <thread>
#include <vector>

#include "server/http/socket_stream.h"

namespace yz::server {

// The library's request parsing and routing, given one stream at a time.
class HttpFront::Router : public httplib::Server {
  public:
    Router(Pages& pages, console::Console* console) {
        set_payload_max_length(console != nullptr ? console::kConsoleBodyLimit : kBodyLimit);
        set_pre_routing_handler([](const httplib::Request& request, httplib::Response& response) {
            if (request.target.size() > kTargetLimit) {
                response.status = 414;
                return HandlerResponse::Handled;
            }
            // A GET's body is never read, but a request announcing a large one is not the program's.
            const std::string length = request.get_header_value("Content-Length");
            std::size_t announced = 0;
            const auto [end, problem] = std::from_chars(length.data(), length.data() + length.size(), announced);
            const std::size_t limit = request.path.rfind("/admin/", 0) == 0 ? console::kConsoleBodyLimit : kBodyLimit;
            if (!length.empty() &&
                (problem != std::errc() || end != length.data() + length.size() || announced > limit)) {
                response.status = 413;
                return HandlerResponse::Handled;
            }
            return HandlerResponse::Unhandled;
        });
        if (console != nullptr) {
            console->Bind(*this);
        }
        Get(".*", [&pages](const httplib::Request& request, httplib::Response& response) {
            const PageAnswer answer = pages.Answer(
                PageRequest{.path = request.path, .params = request.params, .remote_address = request.remote_addr});
            response.status = answer.status;
            response.set_content(answer.body, answer.content_type);
        });
    }

    void ServeOne(httplib::Stream& stream) {
        bool closed = false;
        process_request(stream, true, closed, nullptr);
    }
};

HttpFront::HttpFront(Pages& pages, console::Console* console) : router_(std::make_unique<Router>(pages, console)) {}

HttpFront::~HttpFront() {
    if (listen_fd_ >= 0) {
        close(listen_fd_);
    }
}

int HttpFront::Bind(const std::string& address, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || found == nullptr) {
        return -1;
    }
    const int fd = socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    const bool bound = fd >= 0 && setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) == 0 &&
                       bind(fd, found->ai_addr, found->ai_addrlen) == 0 && listen(fd, SOMAXCONN) == 0;
    freeaddrinfo(found);
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    if (!bound || getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    listen_fd_ = fd;
    std::string ip;
    int bound_port = -1;
    SocketStream(fd).get_local_ip_and_port(ip, bound_port);
    return bound_port;
}

void HttpFront::Run() {
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < kWorkers; ++i) {
        workers.emplace_back([this] { Work(); });
    }
    while (!stopping_ && listen_fd_ >= 0) {
        pollfd watched{.fd = listen_fd_, .events = POLLIN, .revents = 0};
        if (poll(&watched, 1, 100) <= 0) {
            continue;
        }
        const int connection = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            // Out of descriptors, say: the connection stays in the backlog; give the workers time.
            const timespec pause{.tv_sec = 0, .tv_nsec = 10'000'000};
            nanosleep(&pause, nullptr);
            continue;
        }
        std::lock_guard lock(mutex_);
        if (waiting_.size() >= kWaitingLimit) {
            close(connection);
            continue;
        }
        waiting_.push_back(connection);
        wake_.notify_one();
    }
    Stop();
    for (auto& worker : workers) {
        worker.join();
    }
}

void HttpFront::Stop() {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    wake_.notify_all();
}

void HttpFront::Work() {
    while (true) {
        int connection = -1;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            if (waiting_.empty()) {
                return;
            }
            connection = waiting_.front();
            waiting_.pop_front();
        }
        SocketStream stream(connection);
        Serve(stream);
        // Closing with unread bytes would reset the connection and could lose the answer on the
        // way: end the sending side, then take what the caller still sends, within bounds.
        shutdown(connection, SHUT_WR);
        char rest[4096];
        for (int reads = 0; reads < 64; ++reads) {
            pollfd watched{.fd = connection, .events = POLLIN, .revents = 0};
            if (poll(&watched, 1, 100) <= 0 || recv(connection, rest, sizeof rest, 0) <= 0) {
                break;
            }
        }
        close(connection);
    }
}

void HttpFront::Serve(httplib::Stream& stream) {
    router_->ServeOne(stream);
}

}  // namespace yz::server
