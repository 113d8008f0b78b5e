// yanzhou-server's request handling on arbitrary bytes: the input is what a caller sends on one
// connection. It goes through the same path as a real connection (the socket stream that mends
// the request line, the HTTP library's parsing, the pages, the store), over a socket pair, against
// one in-memory database that keeps what earlier inputs stored.

#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "server/http/http_front.h"
#include "server/http/socket_stream.h"
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
        pages = std::make_unique<yz::server::Pages>(*store);
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
    // The request must fit in the socket buffer at once; longer inputs add nothing the limits
    // do not already cut.
    if (size > 32768) {
        return 0;
    }
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return 0;
    }
    if (size > 0 && write(ends[0], data, size) != static_cast<ssize_t>(size)) {
        std::abort();
    }
    shutdown(ends[0], SHUT_WR);
    {
        yz::server::SocketStream stream(ends[1]);
        server.front->Serve(stream);
    }
    close(ends[1]);
    char answer[4096];
    while (read(ends[0], answer, sizeof answer) > 0) {
    }
    close(ends[0]);
    CheckShowcase(*server.pages);
    return 0;
}
