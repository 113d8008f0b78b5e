#pragma once

// The admin command that turns the web console on: set-console-password reads the new password
// from the first line of its input (never from the command line, where other users of the
// machine could read it) and stores only its hash.

#include <istream>
#include <ostream>

#include "server/store/store.h"

namespace yz::console {

inline constexpr char kSetPasswordCommand[] = "set-console-password";

// 0 when the hash is stored; 1 when the password is too short or the store fails (reason on
// `errors`).
int SetConsolePassword(server::Store& store, std::istream& in, std::ostream& out, std::ostream& errors);

}  // namespace yz::console
