#pragma once

// yanzhou-server's pages on a real HTTP server on a free loopback port, in this process, and a
// client that sends a request the way the program does: HTTP/1.0, the target's bytes exactly as
// given (raw GBK included), reading until the server closes.

#include <memory>
#include <string>
#include <thread>

#include "server/console/console.h"
#include "server/console/console_front.h"
#include "server/http/http_front.h"
#include "server/pages/pages.h"
#include "server/store/store.h"
#include "support/temp_dir.h"

namespace yz::test {

struct Reply {
    int status = 0;  // 0 when no HTTP answer came
    std::string body;
};

// GET `target` from 127.0.0.1:`port`, from the loopback address `source` when given (the server
// counts connections and quotas per caller address). `wait_seconds` bounds each wait for the server.
Reply RawGet(int port, const std::string& target, const std::string& source = "", int wait_seconds = 20);

// Sends `request` as it is and returns everything the server sent back.
std::string RawExchange(int port, const std::string& request, const std::string& source = "", int wait_seconds = 20);

// A connection to 127.0.0.1:`port` from `source` (or any address), with both directions' waits
// bounded by `wait_seconds`; -1 when refused.
int ConnectTo(int port, const std::string& source = "", int wait_seconds = 20);

// The database the server tests run on: an SQLite file in `dir`, or, in the PostgreSQL runs
// (YZ_TEST_STORE=postgresql), a fresh PostgreSQL database. Throws when that cannot be made.
std::string TestDatabase(const TempDir& dir);

// True in the PostgreSQL runs of the server tests.
bool PostgresRun();

// A server (pages and, on a port of its own, the web console) on a fresh test database; stopped
// and removed at the end.
class LiveServer {
  public:
    LiveServer();
    // A server on an existing database, beside others on the same one; "" makes a fresh one.
    explicit LiveServer(const std::string& database);
    ~LiveServer();

    int port() const { return port_; }
    int console_port() const { return console_port_; }
    server::Store& store() { return *store_; }
    const std::string& database() const { return database_; }

    Reply Get(const std::string& target, const std::string& source = "") const { return RawGet(port_, target, source); }

  private:
    TempDir dir_;
    std::string database_;
    std::unique_ptr<server::Store> store_;
    std::unique_ptr<server::Pages> pages_;
    std::unique_ptr<console::Console> console_;
    std::unique_ptr<server::HttpFront> front_;
    std::unique_ptr<console::ConsoleFront> console_front_;
    std::thread thread_;
    std::thread console_thread_;
    int port_ = 0;
    int console_port_ = 0;
};

}  // namespace yz::test
