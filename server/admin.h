#pragma once

// The maker's commands, run against the same store the pages use (see kUsage for the list).
// Listings are UTF-8 for the terminal; texts given on the command line are UTF-8 and stored as
// GBK, as the program reads them.

#include <ostream>

#include "server/command_line.h"
#include "server/store/store.h"

namespace yz::server {

// 0 when the command did its work; 1 when it failed (the reason on `errors`); 2 for an unknown
// command or wrong arguments (with the usage).
int RunAdminCommand(const CommandLine& line, Store& store, std::ostream& out, std::ostream& errors);

}  // namespace yz::server
