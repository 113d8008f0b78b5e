#pragma once

// The two outside pages the program also asks for, served here so a local run needs nothing
// beyond this machine: the IP lookup and the tutorial.

#include <string>

namespace yz::server {

// An HTML page carrying "[" + address + "] 来自：" + location, closed by "</center>", which is
// where the program cuts. The location is a coarse word for the kind of address: this machine, a
// private network, or unknown.
std::string IpLookupPage(const std::string& remote_address);

// A plain GBK page on using the program.
std::string TutorialPage();

}  // namespace yz::server
