#include "server/serve.h"

#include <pthread.h>
#include <signal.h>
#include <time.h>

#include <atomic>
#include <thread>

#include "server/http_front.h"

namespace yz::server {

namespace {

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

}  // namespace

int Serve(const CommandLine& line, Store& store, std::ostream& out, std::ostream& errors) {
    // The stop signals are taken by one watcher thread; every other thread, the workers the
    // server starts included, inherits the blocked mask.
    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    Pages pages(store);
    httplib::Server server;
    BindPages(server, pages);
    int port = line.port;
    if (port == 0) {
        port = server.bind_to_any_port(line.address);
    } else if (!server.bind_to_port(line.address, port)) {
        port = -1;
    }
    if (port <= 0) {
        errors << "yanzhou-server: cannot listen on " << line.address << ":" << line.port << "\n";
        return 1;
    }

    std::atomic<bool> done = false;
    std::thread watcher([&] {
        const timespec tick{.tv_sec = 0, .tv_nsec = 100'000'000};
        bool stopping = false;
        while (!done) {
            // A stop before the server runs does nothing, so it is repeated until listening ends.
            stopping = stopping || sigtimedwait(&signals, nullptr, &tick) > 0;
            if (stopping) {
                server.stop();
                nanosleep(&tick, nullptr);
            }
        }
    });
    out << "yanzhou-server ready on http://" << line.address << ":" << port << std::endl;
    const bool listened = server.listen_after_bind();
    done = true;
    watcher.join();
    out << "yanzhou-server stopped" << std::endl;
    return listened ? 0 : 1;
}

}  // namespace yz::server
