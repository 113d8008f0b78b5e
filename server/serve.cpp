#include "server/serve.h"

#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <time.h>

#include <atomic>
#include <thread>

#include "server/http/http_front.h"

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

    // Every connection is a descriptor: take all the system allows this process.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }

    Pages pages(store, line.quotas);
    console::Console console(store);
    HttpFront front(pages, &console);
    const int port = front.Bind(line.address, line.port);
    if (port <= 0) {
        errors << "yanzhou-server: cannot listen on " << line.address << ":" << line.port << "\n";
        return 1;
    }

    std::atomic<bool> done = false;
    std::thread watcher([&] {
        const timespec tick{.tv_sec = 0, .tv_nsec = 100'000'000};
        while (!done) {
            if (sigtimedwait(&signals, nullptr, &tick) > 0) {
                front.Stop();
                return;
            }
        }
    });
    out << "yanzhou-server ready on http://" << line.address << ":" << port << std::endl;
    front.Run();
    done = true;
    watcher.join();
    out << "yanzhou-server stopped" << std::endl;
    return 0;
}

}  // namespace yz::server
