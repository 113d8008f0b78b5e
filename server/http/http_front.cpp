#include "server/http/http_front.h"

#include <httplib.h>

#include <thread>
#include <vector>

#include "server/http/query.h"
#include "server/http/request_head.h"
#include "server/http/showcase_answer.h"
#include "server/http/socket_stream.h"

namespace yz::server {

// The library's request parsing and routing, given one stream at a time.
class HttpFront::Router : public httplib::Server {
  public:
    explicit Router(Pages& pages) {
        set_payload_max_length(kBodyLimit);
        Get(".*", [&pages](const httplib::Request& request, httplib::Response& response) {
            const PageAnswer answer = pages.Answer(PageRequest{.path = request.path,
                                                               .params = ParseQuery(QueryOf(request.target)),
                                                               .remote_address = request.remote_addr});
            response.status = answer.status;
            response.set_header("X-Content-Type-Options", "nosniff");
            response.set_content(answer.body, answer.content_type);
        });
    }

    void ServeOne(httplib::Stream& stream) {
        bool closed = false;
        process_request(stream, true, closed, nullptr);
    }
};

HttpFront::HttpFront(Pages& pages) : pages_(pages), router_(std::make_unique<Router>(pages)) {}

HttpFront::~HttpFront() = default;

int HttpFront::Bind(const std::string& address, int port) {
    return listener_.Bind(address, port);
}

void HttpFront::Run() {
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < kWorkers; ++i) {
        workers.emplace_back([this] { Work(); });
    }
    listener_.Run(
        [this](WholeRequest&& request) {
            std::lock_guard lock(mutex_);
            if (waiting_.size() >= kWaitingLimit) {
                return false;
            }
            waiting_.push_back(std::move(request));
            wake_.notify_one();
            return true;
        },
        [this](std::string_view request) { return AnswerAtOnce(request); });
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        wake_.notify_all();
    }
    for (auto& worker : workers) {
        worker.join();
    }
}

void HttpFront::Stop() {
    listener_.Stop();
}

void HttpFront::Work() {
    while (true) {
        WholeRequest request;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            if (waiting_.empty()) {
                return;
            }
            request = std::move(waiting_.front());
            waiting_.pop_front();
        }
        Serve(std::move(request.bytes), request.socket_fd, request.remote_address);
        listener_.Finished(request.socket_fd);
    }
}

std::shared_ptr<const std::string> HttpFront::AnswerAtOnce(std::string_view request) {
    if (!IsPlainShowcaseRequest(request)) {
        return nullptr;
    }
    auto body = pages_.CurrentShowcase();
    if (!body) {
        return nullptr;
    }
    if (body != showcase_body_) {
        showcase_answer_ = std::make_shared<const std::string>(ShowcaseAnswer(*body));
        showcase_body_ = std::move(body);
    }
    return showcase_answer_;
}

void HttpFront::Serve(std::string request, int socket_fd, const std::string& remote_address) {
    SocketStream stream(std::move(request), socket_fd, remote_address);
    router_->ServeOne(stream);
}

}  // namespace yz::server
