// yanzhou-server's request handling on arbitrary bytes: the input is what a caller sends on one
// connection. It goes through the same path as a real connection (the listener's judgement of the
// head, the stream that mends the request line, the HTTP library's parsing, the query parser, the
// pages, the store), answering over a socket pair, against one in-memory database that keeps what
// earlier inputs stored.

#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "server/http/http_front.h"
#include "server/http/request_head.h"
#include "server/pages/field_rules.h"
#include "server/pages/pages.h"
#include "server/store/sqlite_store.h"

namespace {

struct Server {
    Server() {
        std::string error;
        store = yz::server::SqliteStore::Open(":memory:", error);
        if (!store) {
            std::abort();
        }
        // Every input comes from one address: no quota, so what it stores keeps growing.
        pages = std::make_unique<yz::server::Pages>(*store, yz::server::QuotaLimits{0, 0, 0});
        front = std::make_unique<yz::server::HttpFront>(*pages);
    }
    std::unique_ptr<yz::server::SqliteStore> store;
    std::unique_ptr<yz::server::Pages> pages;
    std::unique_ptr<yz::server::HttpFront> front;
};

// Whatever was stored, the showcase stays splittable and under the program's read ceiling.
void CheckShowcase(yz::server::Pages& pages) {
    const auto answer = pages.Answer({.path = "/cxzp.asp", .params = {}, .remote_address = ""});
    if (answer.body.size() >= yz::server::kShowcaseCeiling || !yz::server::IsWholeGbk(answer.body)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Server server;
    // Longer inputs add nothing the head limits do not already cut.
    if (size > 32768) {
        return 0;
    }
    const std::string received(reinterpret_cast<const char*>(data), size);
    const auto verdict = yz::server::JudgeRequest(received);
    if (verdict.state != yz::server::HeadVerdict::State::kWhole) {
        return 0;
    }
    if (verdict.request_size > received.size()) {
        std::abort();
    }
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return 0;
    }
    server.front->Serve(received.substr(0, verdict.request_size), ends[1], "127.0.0.1");
    close(ends[1]);
    char answer[4096];
    while (read(ends[0], answer, sizeof answer) > 0) {
    }
    close(ends[0]);
    CheckShowcase(*server.pages);
    return 0;
}
