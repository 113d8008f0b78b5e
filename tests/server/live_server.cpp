#include "server/live_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "server/postgres_for_tests.h"
#include "server/store/open_store.h"

namespace yz::test {

int ConnectTo(int port, const std::string& source, int wait_seconds) {
    const int socket_fd = socket(AF_INET, SOCK_STREAM, 0);
    if (socket_fd < 0) {
        return -1;
    }
    // A server that stops answering must fail the test, not hang it.
    const timeval wait{.tv_sec = wait_seconds, .tv_usec = 0};
    setsockopt(socket_fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    setsockopt(socket_fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    if (!source.empty()) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        if (inet_pton(AF_INET, source.c_str(), &local.sin_addr) != 1 ||
            bind(socket_fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            close(socket_fd);
            return -1;
        }
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(socket_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(socket_fd);
        return -1;
    }
    return socket_fd;
}

std::string RawExchange(int port, const std::string& request, const std::string& source, int wait_seconds) {
    const int socket_fd = ConnectTo(port, source, wait_seconds);
    if (socket_fd < 0) {
        return {};
    }
    std::size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = send(socket_fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            break;
        }
        sent += static_cast<std::size_t>(n);
    }
    std::string received;
    char buffer[16384];
    while (true) {
        const ssize_t n = recv(socket_fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        received.append(buffer, static_cast<std::size_t>(n));
    }
    close(socket_fd);
    return received;
}

Reply RawGet(int port, const std::string& target, const std::string& source, int wait_seconds) {
    const std::string answer = RawExchange(
        port, "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: */*\r\n\r\n", source, wait_seconds);
    Reply reply;
    const auto head_end = answer.find("\r\n\r\n");
    if (answer.rfind("HTTP/1.", 0) != 0 || head_end == std::string::npos || answer.size() < 12) {
        return reply;
    }
    reply.status = std::stoi(answer.substr(9, 3));
    reply.body = answer.substr(head_end + 4);
    return reply;
}

bool PostgresRun() {
    const char* store = std::getenv("YZ_TEST_STORE");
    return store != nullptr && std::string(store) == "postgresql";
}

std::string TestDatabase(const TempDir& dir) {
    if (!PostgresRun()) {
        return (dir.native() / "server.sqlite").string();
    }
    std::string why;
    const std::string uri = FreshPostgresDatabase(why);
    if (uri.empty()) {
        throw std::runtime_error(why);
    }
    return uri;
}

namespace {

// The PostgreSQL runs skip as a whole, saying why, when PostgreSQL is not installed; any other
// reason it cannot be used fails them.
class PostgresRunEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (!PostgresRun()) {
            return;
        }
        std::string why;
        if (FreshPostgresDatabase(why).empty()) {
            if (PostgresMissing(why)) {
                GTEST_SKIP() << why;
            }
            FAIL() << why;
        }
    }
};

[[maybe_unused]] const auto* const postgres_run_environment =
    ::testing::AddGlobalTestEnvironment(new PostgresRunEnvironment);

}  // namespace

LiveServer::LiveServer() : LiveServer(std::string()) {}

LiveServer::LiveServer(const std::string& database) : database_(database.empty() ? TestDatabase(dir_) : database) {
    std::string error;
    store_ = server::OpenStore(database_, error);
    if (!store_) {
        throw std::runtime_error(error);
    }
    pages_ = std::make_unique<server::Pages>(*store_);
    console_ = std::make_unique<console::Console>(*store_);
    console_->OnWorksChanged([this] { pages_->WorksChanged(); });
    front_ = std::make_unique<server::HttpFront>(*pages_);
    console_front_ = std::make_unique<console::ConsoleFront>(*console_);
    port_ = front_->Bind("127.0.0.1", 0);
    console_port_ = console_front_->Bind("127.0.0.1", 0);
    if (port_ <= 0 || console_port_ <= 0) {
        throw std::runtime_error("no free loopback port");
    }
    // Connections wait in the listen backlog until Run takes them.
    thread_ = std::thread([this] { front_->Run(); });
    console_thread_ = std::thread([this] { console_front_->Run(); });
}

LiveServer::~LiveServer() {
    front_->Stop();
    console_front_->Stop();
    thread_.join();
    console_thread_.join();
}

}  // namespace yz::test
