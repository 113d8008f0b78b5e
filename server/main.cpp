// yanzhou-server: the program's web server and the maker's admin commands.

#include <iostream>

#include "server/admin.h"
#include "server/command_line.h"
#include "server/console/console_admin.h"
#include "server/serve.h"
#include "server/store/open_store.h"

int main(int argc, char** argv) {
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
