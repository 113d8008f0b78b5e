#include "runtime/datagram_socket.h"

namespace yz {

std::optional<std::uint32_t> ParseDottedAddress(const Text& host) {
    std::uint32_t address = 0;
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= host.size() || host[at] != '.') {
                return std::nullopt;
            }
            ++at;
        }
        const std::size_t start = at;
        std::uint32_t value = 0;
        while (at < host.size() && host[at] >= '0' && host[at] <= '9' && at - start < 3) {
            value = value * 10 + static_cast<std::uint32_t>(host[at] - '0');
            ++at;
        }
        if (at == start || value > 255) {
            return std::nullopt;
        }
        address = (address << 8) | value;
    }
    if (at != host.size()) {
        return std::nullopt;
    }
    return address;
}

bool IsLoopbackAddress(const Text& host) {
    const std::optional<std::uint32_t> address = ParseDottedAddress(host);
    return address && (*address >> 24) == 127;
}

}  // namespace yz
