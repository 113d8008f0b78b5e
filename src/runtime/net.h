#pragma once

// The network services: fetching a web page, the ICMP echo probe and a TCP connection probe.
// All of them block the calling thread and report failure only through their result.

#include "runtime/types.h"

namespace yz {

// How long a fetch waits for the connection, for sending the request and for each piece of the
// answer. A server that accepts and then never answers costs the window at most this long per
// stage instead of freezing it for good.
constexpr int kHttpTimeoutMs = 5000;

// The body of the page at `address` ("http://" or "https://", host, optional ":port", object),
// whatever the status code. Everything from the first "#" of the object on is not sent; the
// object goes into the request line byte for byte, GBK included, without any encoding. Empty on
// any failure: an address that cannot be split, a name that does not resolve, a refused
// connection, a time-out at any stage, a read that fails part-way.
Bytes HttpReadFile(const Text& address);

// The round-trip time in milliseconds of one ICMP echo request without data to `host` (a dotted
// IPv4 address or a host name); -1 when ICMP is unavailable, the name does not resolve or no
// reply comes within `timeout_ms`.
int Ping(const Text& host, int timeout_ms = 10000);

// True when a TCP connection to `host`:`port` is accepted within `timeout_ms`; it is closed at
// once. False for a name that does not resolve, a refusal or a time-out.
bool TcpConnects(const Text& host, int port, int timeout_ms);

}  // namespace yz
