#include "server/http/query.h"

namespace yz::server {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::string Decoded(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

}  // namespace

std::multimap<std::string, std::string> ParseQuery(std::string_view query) {
    std::multimap<std::string, std::string> values;
    while (!query.empty()) {
        const std::size_t end = query.find('&');
        const std::string_view piece = query.substr(0, end);
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
        if (piece.empty()) {
            continue;
        }
        const std::size_t equals = piece.find('=');
        if (equals == std::string_view::npos) {
            values.emplace(Decoded(piece), std::string());
        } else {
            values.emplace(Decoded(piece.substr(0, equals)), Decoded(piece.substr(equals + 1)));
        }
    }
    return values;
}

std::string_view QueryOf(std::string_view target) {
    const std::size_t question = target.find('?');
    return question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
}

}  // namespace yz::server
