#pragma once

// Deployment values: where the program's web server, the IP-lookup page, the reachability portal
// and the tutorial page are, where chat datagrams are broadcast, and where the single-instance
// lock file lives. Each has a compiled-in default; a deployment file "deployment.ini" beside the
// program (section "deployment") overrides any of them. Runs on this machine always write one that
// points at loopback.

#include "runtime/types.h"

namespace yz {

struct Deployment {
    Text server_base_address;  // "http://" + host, no trailing slash
    Text ip_lookup_address;
    Text portal_host;
    Text tutorial_address;
    Text broadcast_address;
    int broadcast_port = 0;
    Text lock_file_path;
};

Deployment DefaultDeployment();

// The defaults overridden by the deployment file in `program_directory`, when there is one. A key
// that is missing or empty keeps its default; a port that is not a number from 1 to 65535 too.
Deployment LoadDeployment(const Text& program_directory);

}  // namespace yz
