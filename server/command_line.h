#pragma once

// The command line of yanzhou-server:
//
//   yanzhou-server --database PATH [--port N] [--address A] [--quota KIND=N]...
//                  [--console-port N] [--console-address A]
//                  [--console-tls-cert FILE --console-tls-key FILE]              serve the pages
//   yanzhou-server --database PATH COMMAND [ARGUMENTS]         one admin command, then exit
//
// Options may stand anywhere; the first word that is not an option names the command.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "server/pages/quotas.h"

namespace yz::server {

inline constexpr int kDefaultPort = 25680;
inline constexpr int kDefaultConsolePort = 25681;

struct CommandLine {
    std::string database;
    std::string address = "127.0.0.1";
    int port = kDefaultPort;
    std::string console_address = "127.0.0.1";
    int console_port = kDefaultConsolePort;
    std::string console_tls_cert;  // both empty: the console speaks plain HTTP
    std::string console_tls_key;
    QuotaLimits quotas;
    std::string command;                         // empty: serve
    std::vector<std::string> arguments;          // words after the command
    std::map<std::string, std::string> options;  // the command's own options, without "--"
};

// Empty with `error` set when an option lacks its value, a port is not 0..65535, a quota is
// not understood, the database is missing, only one of the console's certificate and key is
// given, or the console would listen beyond loopback without TLS. Port 0 asks the system for a free port.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& words, std::string& error);

extern const char* const kUsage;

}  // namespace yz::server
