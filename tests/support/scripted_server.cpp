#include "support/scripted_server.h"

#include "support/loopback_socket.h"

namespace yz::test {

namespace {

// How often the serving thread looks at the stop flag.
constexpr int kSliceMs = 20;
// Requests beyond this are not a page request of the program.
constexpr std::size_t kRequestLimit = 64 * 1024;

}  // namespace

std::string HttpResponse(std::string_view body, bool with_length, std::string_view status) {
    std::string response = "HTTP/1.0 " + std::string(status) + "\r\nContent-Type: text/html\r\n";
    if (with_length) {
        response += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    }
    response += "\r\n";
    response += body;
    return response;
}

ScriptedServer::ScriptedServer(std::string response, Ending ending)
    : response_(std::move(response)), ending_(ending), listener_(ListenOnLoopback(port_)) {
    if (listener_ != kNoSocket) {
        thread_ = std::thread([this] { Serve(); });
    }
}

ScriptedServer::~ScriptedServer() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    CloseSocket(listener_);
}

Text ScriptedServer::Address(const Text& object) const {
    return "http://127.0.0.1:" + std::to_string(port_) + object;
}

std::string ScriptedServer::LastRequest() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return last_request_;
}

std::string ScriptedServer::LastRequestLine() const {
    const std::string request = LastRequest();
    return request.substr(0, request.find("\r\n"));
}

void ScriptedServer::Serve() {
    while (!stop_) {
        const SocketId connection = AcceptWithin(listener_, kSliceMs);
        if (connection != kNoSocket) {
            Handle(connection);
            CloseSocket(connection);
        }
    }
}

void ScriptedServer::Handle(std::intptr_t connection) {
    std::string request;
    std::size_t head_end = std::string::npos;
    while (!stop_ && head_end == std::string::npos && request.size() < kRequestLimit) {
        if (ReceiveWithin(connection, kSliceMs, request) == Received::kClosed) {
            return;
        }
        head_end = request.find("\r\n\r\n");
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        last_request_ = request.substr(0, head_end == std::string::npos ? request.size() : head_end + 4);
    }
    SendAll(connection, response_);
    if (ending_ == Ending::kClose) {
        return;
    }
    std::string ignored;
    while (!stop_ && ReceiveWithin(connection, kSliceMs, ignored) != Received::kClosed) {
    }
}

}  // namespace yz::test
