#pragma once

// A web address taken apart the way the fetch sends it: scheme, host, port and the object (path
// plus query) that goes into the request line.

#include <optional>

#include "runtime/types.h"

namespace yz {

struct WebAddress {
    bool secure = false;  // "https://"
    Text host;
    int port = 0;
    Text object;  // begins with "/"; cut at its first "#"

    friend bool operator==(const WebAddress&, const WebAddress&) = default;
};

// "http://" or "https://" (any case), a host of at least one byte, an optional ":" and port
// (1..65535; 80 or 443 when absent) and the object. An object that is absent becomes "/", one
// that starts with "?" gets "/" before it. Bytes of the object are kept as they are, GBK and
// "&", "=", "~", "|" included. Nothing when the address cannot be split: another scheme, no
// host, a port that is not a number in range, a host holding a blank or a control byte.
std::optional<WebAddress> SplitWebAddress(const Text& address);

}  // namespace yz
