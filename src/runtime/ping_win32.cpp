#include <winsock2.h>

#include <windows.h>

// icmpapi.h needs the types of iphlpapi.h first.
#include <iphlpapi.h>

#include <icmpapi.h>

#include <algorithm>
#include <vector>

#include "runtime/net.h"
#include "runtime/net_session.h"

namespace yz {

int Ping(const Text& host, int timeout_ms) {
    const std::optional<std::uint32_t> address = ResolveIPv4(host);
    if (!address) {
        return -1;
    }
    const HANDLE icmp = IcmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE) {
        return -1;
    }
    // Room for one reply without data plus the error information the call may add.
    std::vector<unsigned char> reply(sizeof(ICMP_ECHO_REPLY) + 8 + 64);
    const DWORD replies = IcmpSendEcho(icmp, static_cast<IPAddr>(*address), nullptr, 0, nullptr, reply.data(),
                                       static_cast<DWORD>(reply.size()), static_cast<DWORD>(std::max(timeout_ms, 0)));
    int round_trip = -1;
    if (replies > 0) {
        const auto* echo = reinterpret_cast<const ICMP_ECHO_REPLY*>(reply.data());
        if (echo->Status == IP_SUCCESS) {
            round_trip = static_cast<int>(echo->RoundTripTime);
        }
    }
    IcmpCloseHandle(icmp);
    return round_trip;
}

}  // namespace yz
