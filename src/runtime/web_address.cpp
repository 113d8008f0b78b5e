#include "runtime/web_address.h"

#include <cstddef>

namespace yz {

namespace {

bool StartsWithNoCase(const Text& text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

std::optional<int> PortNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) {
        return std::nullopt;
    }
    int port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

bool UsableHost(std::string_view host) {
    if (host.empty()) {
        return false;
    }
    for (char c : host) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F || c == '@') {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<WebAddress> SplitWebAddress(const Text& address) {
    WebAddress result;
    std::size_t at = 0;
    if (StartsWithNoCase(address, "http://")) {
        at = 7;
        result.port = 80;
    } else if (StartsWithNoCase(address, "https://")) {
        at = 8;
        result.secure = true;
        result.port = 443;
    } else {
        return std::nullopt;
    }
    const std::size_t host_end = address.find_first_of("/?#", at);
    std::string_view authority =
        std::string_view(address).substr(at, host_end == Text::npos ? Text::npos : host_end - at);
    const std::size_t colon = authority.find(':');
    if (colon != std::string_view::npos) {
        const std::optional<int> port = PortNumber(authority.substr(colon + 1));
        if (!port) {
            return std::nullopt;
        }
        result.port = *port;
        authority = authority.substr(0, colon);
    }
    if (!UsableHost(authority)) {
        return std::nullopt;
    }
    result.host = Text(authority);

    Text object = host_end == Text::npos ? Text() : address.substr(host_end);
    object = object.substr(0, object.find('#'));
    if (object.empty() || object.front() != '/') {
        object.insert(0, "/");
    }
    result.object = object;
    return result;
}

}  // namespace yz
