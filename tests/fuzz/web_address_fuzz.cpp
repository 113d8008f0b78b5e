// Feeds arbitrary bytes as a web address to the splitter the fetch uses, and as a query value to
// the escaping of the page requests. A split address has a host without blanks, a port in range
// and an object that begins with "/" and holds no "#"; an escaped value holds no byte that would
// cut or end the query, and decoding gives the value back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "online/web_requests.h"
#include "runtime/web_address.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    std::abort();
}

std::string Decode(const std::string& escaped) {
    std::string decoded;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] == '%') {
            Check(i + 2 < escaped.size());
            decoded += static_cast<char>(HexValue(escaped[i + 1]) * 16 + HexValue(escaped[i + 2]));
            i += 2;
        } else {
            decoded += escaped[i];
        }
    }
    return decoded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    const std::optional<yz::WebAddress> address = yz::SplitWebAddress(input);
    if (address) {
        Check(!address->host.empty() && address->host.find_first_of(" /?#:") == std::string::npos);
        Check(address->port >= 1 && address->port <= 65535);
        Check(!address->object.empty() && address->object.front() == '/');
        Check(address->object.find('#') == std::string::npos);
    }

    const std::string escaped = yz::EscapeQueryValue(input);
    for (const char c : escaped) {
        const auto byte = static_cast<unsigned char>(c);
        Check(byte >= 0x20 && byte != 0x7F && c != '&' && c != '=' && c != '#' && c != '+' && c != ' ');
    }
    Check(Decode(escaped) == input);
    return 0;
}
