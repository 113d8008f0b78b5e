// yanzhou-server: the program's web server and the maker's admin commands.

#include <malloc.h>

#include <iostream>

#include "server/admin.h"
#include "server/command_line.h"
#include "server/console/console_admin.h"
#include "server/serve.h"
#include "server/store/open_store.h"

int main(int argc, char** argv) {
    // Showcase answers of about 100 KB are built, copied and freed thousands of times a second by
    // many threads. Kept in the heap they are reused; mapped and unmapped each time (glibc's
    // default above 128 KB, and its trimming of every thread's heap) each one costs fresh page
    // faults and a TLB flush on every core.
    mallopt(M_MMAP_THRESHOLD, 8 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    using namespace yz::server;
    std::string error;
    const auto line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!line) {
        std::cerr << "yanzhou-server: " << error << "\n" << kUsage;
        return 2;
    }
    const auto store = OpenStore(line->database, error);
    if (!store) {
        std::cerr << "yanzhou-server: " << error << "\n";
        return 1;
    }
    if (line->command.empty()) {
        if (!line->options.empty()) {
            std::cerr << "yanzhou-server: unknown option --" << line->options.begin()->first << "\n" << kUsage;
            return 2;
        }
        return Serve(*line, *store, std::cout, std::cerr);
    }
    if (line->command == yz::console::kSetPasswordCommand && line->arguments.empty()) {
        return yz::console::SetConsolePassword(*store, std::cin, std::cout, std::cerr);
    }
    return RunAdminCommand(*line, *store, std::cout, std::cerr);
}
