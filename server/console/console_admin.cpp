#include "console_admin.h"

#include <string>

#include "server/console/console_password.h"

namespace yz::console {

int SetConsolePassword(server::Store& store, std::istream& in, std::ostream& out, std::ostream& errors) {
    std::string password;
    std::getline(in, password);
    if (!password.empty() && password.back() == '\r') {
        password.pop_back();
    }
    if (password.size() < kMinPasswordLength) {
        errors << "yanzhou-server: the console password needs at least " << kMinPasswordLength
               << " bytes (give it on the first line of standard input)\n";
        return 1;
    }
    const std::string hash = HashConsolePassword(password);
    if (hash.empty() || !store.SetConsolePasswordHash(hash)) {
        errors << "yanzhou-server: the console password could not be stored\n";
        return 1;
    }
    out << "console password set: sign in at /admin/ on the running server\n";
    return 0;
}

}  // namespace yz::console
