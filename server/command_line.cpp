#include "server/command_line.h"

#include <charconv>

#include "server/console/console_front.h"

namespace yz::server {

const char* const kUsage =
    "usage: yanzhou-server --database PATH [--port N] [--address A] [--quota publish|record|feedback=N]...\n"
    "                      [--console-port N] [--console-address A] [--console-tls-cert FILE --console-tls-key FILE]\n"
    "       yanzhou-server --database PATH set-version VERSION\n"
    "       yanzhou-server --database PATH set-announcement [--image FILE] [--link URL] [--show yes|no]\n"
    "       yanzhou-server --database PATH show-settings\n"
    "       yanzhou-server --database PATH list-works\n"
    "       yanzhou-server --database PATH delete-work ID\n"
    "       yanzhou-server --database PATH list-feedback\n"
    "       yanzhou-server --database PATH set-console-password   (the password on standard input)\n"
    "PATH is an SQLite file or a PostgreSQL URI (postgresql://user@host/database).\n";

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& words, std::string& error) {
    CommandLine line;
    std::vector<std::string> quotas;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.rfind("--", 0) != 0) {
            (line.command.empty() ? line.command : line.arguments.emplace_back()) = word;
            continue;
        }
        if (i + 1 >= words.size()) {
            error = word + " needs a value";
            return std::nullopt;
        }
        const std::string name = word.substr(2);
        const std::string& value = words[++i];
        if (name == "database") {
            line.database = value;
        } else if (name == "address") {
            line.address = value;
        } else if (name == "console-address") {
            line.console_address = value;
        } else if (name == "console-tls-cert") {
            line.console_tls_cert = value;
        } else if (name == "console-tls-key") {
            line.console_tls_key = value;
        } else if (name == "port" || name == "console-port") {
            int port = -1;
            const auto [end, problem] = std::from_chars(value.data(), value.data() + value.size(), port);
            if (problem != std::errc() || end != value.data() + value.size() || port < 0 || port > 65535) {
                error = word + " takes a number from 0 to 65535";
                return std::nullopt;
            }
            (name == "port" ? line.port : line.console_port) = port;
        } else if (name == "quota") {
            quotas.push_back(value);
        } else {
            line.options[name] = value;
        }
    }
    const auto limits = ParseQuotas(quotas, error);
    if (!limits) {
        return std::nullopt;
    }
    line.quotas = *limits;
    if (line.console_tls_cert.empty() != line.console_tls_key.empty()) {
        error = "--console-tls-cert and --console-tls-key go together";
        return std::nullopt;
    }
    // The console's password and session cookie must not cross a network in clear.
    if (line.console_tls_cert.empty() && !console::IsLoopbackAddress(line.console_address)) {
        error = "the console listens on " + line.console_address +
                " only over TLS: give --console-tls-cert FILE and --console-tls-key FILE, or keep it on 127.0.0.1 "
                "and reach it through an SSH tunnel";
        return std::nullopt;
    }
    if (line.database.empty()) {
        error = "--database is required";
        return std::nullopt;
    }
    return line;
}

}  // namespace yz::server
