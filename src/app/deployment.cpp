#include "app/deployment.h"

#include "runtime/config_file.h"
#include "runtime/convert.h"

namespace yz {

namespace {

const Text kSection = "deployment";

void Override(const Text& file, const Text& key, Text& value) {
    const Text found = ReadConfigItem(file, kSection, key);
    if (!found.empty()) {
        value = found;
    }
}

}  // namespace

Deployment DefaultDeployment() {
    // The bundled server listens on loopback; a real deployment names its own hosts in the file.
    return Deployment{
        .server_base_address = "http://127.0.0.1:25680",
        .ip_lookup_address = "http://127.0.0.1:25680/ip",
        .portal_host = "127.0.0.1",
        .tutorial_address = "http://127.0.0.1:25680/tutorial",
        .broadcast_address = "255.255.255.255",
        .broadcast_port = 25610,
        .lock_file_path = "c:\\ymtrop",
    };
}

Deployment LoadDeployment(const Text& program_directory) {
    Deployment deployment = DefaultDeployment();
    const Text file = program_directory + "\\deployment.ini";
    Override(file, "server", deployment.server_base_address);
    Override(file, "ip_lookup", deployment.ip_lookup_address);
    Override(file, "portal", deployment.portal_host);
    Override(file, "tutorial", deployment.tutorial_address);
    Override(file, "broadcast_address", deployment.broadcast_address);
    Override(file, "lock_file", deployment.lock_file_path);
    const Text port = ReadConfigItem(file, kSection, "broadcast_port");
    const int number = ToInteger(port);
    if (number >= 1 && number <= 65535) {
        deployment.broadcast_port = number;
    }
    return deployment;
}

}  // namespace yz
