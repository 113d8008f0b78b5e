#include "server/http_front.h"

#include <charconv>

namespace yz::server {

void BindPages(httplib::Server& server, Pages& pages) {
    server.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    server.set_payload_max_length(kBodyLimit);
    server.set_pre_routing_handler([](const httplib::Request& request, httplib::Response& response) {
        if (request.target.size() > kTargetLimit) {
            response.status = 414;
            return httplib::Server::HandlerResponse::Handled;
        }
        // A GET's body is never read, but a request announcing a large one is not the program's.
        const std::string length = request.get_header_value("Content-Length");
        std::size_t announced = 0;
        const auto [end, problem] = std::from_chars(length.data(), length.data() + length.size(), announced);
        if (!length.empty() && (problem != std::errc() || end != length.data() + length.size() || announced > kBodyLimit)) {
            response.status = 413;
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.Get(".*", [&pages](const httplib::Request& request, httplib::Response& response) {
        const PageAnswer answer = pages.Answer(
            PageRequest{.path = request.path, .params = request.params, .remote_address = request.remote_addr});
        response.status = answer.status;
        response.set_content(answer.body, answer.content_type);
    });
}

}  // namespace yz::server
