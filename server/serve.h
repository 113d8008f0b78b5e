#pragma once

// Serving: binds the pages' address and port and the console's, prints one line when requests are
// taken and one naming the console, and stops cleanly on SIGINT or SIGTERM (requests in progress
// finish, the store closes). A console address that cannot be bound leaves the pages serving.

#include <ostream>

#include "server/command_line.h"
#include "server/store/store.h"

namespace yz::server {

// 0 after a clean stop; 1 when the address cannot be bound (the reason on `errors`).
int Serve(const CommandLine& line, Store& store, std::ostream& out, std::ostream& errors);

}  // namespace yz::server
