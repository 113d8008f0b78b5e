#include "server/serve.h"

#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <time.h>

#include <atomic>
#include <thread>

#include "server/console/console_front.h"
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
    console.OnWorksChanged([&pages] { pages.WorksChanged(); });
    HttpFront front(pages);
    const int port = front.Bind(line.address, line.port);
    if (port <= 0) {
        errors << "yanzhou-server: cannot listen on " << line.address << ":" << line.port << "\n";
        return 1;
    }
    console::ConsoleFront console_front(console,
                                        {.certificate_file = line.console_tls_cert, .key_file = line.console_tls_key});
    if (!console_front.valid()) {
        errors << "yanzhou-server: cannot load the console's certificate " << line.console_tls_cert << " or key "
               << line.console_tls_key << "\n";
        return 1;
    }
    const int console_port = console_front.Bind(line.console_address, line.console_port);

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
    std::thread console_thread;
    out << "yanzhou-server ready on http://" << line.address << ":" << port << std::endl;
    if (console_port > 0) {
        console_thread = std::thread([&] { console_front.Run(); });
        out << "yanzhou-server console on " << (line.console_tls_cert.empty() ? "http" : "https") << "://"
            << line.console_address << ":" << console_port << "/admin/" << std::endl;
    } else {
        // The pages go on: the console is the maker's, the pages every writer's.
        errors << "yanzhou-server: the console is not served: cannot listen on " << line.console_address << ":"
               << line.console_port << "\n";
    }
    front.Run();
    console_front.Stop();
    if (console_thread.joinable()) {
        console_thread.join();
    }
    done = true;
    watcher.join();
    out << "yanzhou-server stopped" << std::endl;
    return 0;
}

}  // namespace yz::server
