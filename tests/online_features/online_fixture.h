#pragma once

// The program on the headless desktop with its web server: a real yanzhou-server on a free
// loopback port and a fresh database, which the deployment points every address at.

#include <memory>
#include <string>
#include <vector>

#include "app/program_fixture.h"
#include "server/server_process.h"

namespace yz::test {

class OnlineTest : public ProgramTest {
  protected:
    OnlineTest();

    // "http://127.0.0.1:<port>".
    Text ServerAddress() const;
    // An admin command of the server on the same database (set-version, set-announcement, ...).
    // Its standard output (an empty text, and a failure, when it fails).
    std::string Admin(const std::vector<std::string>& arguments);
    // What a browser or another copy would send: the page's body as text.
    Text Fetch(const Text& address) const;
    // Another writer publishes a work; true when the server acknowledged it.
    bool PublishElsewhere(const Text& pen_name, const Text& work_name, const Text& motto, const Text& link);
    bool RecordVisitElsewhere(const Text& link, const Text& visitor);
    Text Records(const Text& link) const;
    // The ticker's text now.
    Text Ticker() const;
    int Period(const ControlRef& timer) const;

    std::string database_;
    std::unique_ptr<ServerProcess> server_;
};

}  // namespace yz::test
