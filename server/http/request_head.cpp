#include "server/http/request_head.h"

#include <charconv>
#include <string>

#include "runtime/text.h"

namespace yz::server {

namespace {

// "GET " and " HTTP/1.0" around the longest target.
constexpr std::size_t kRequestLineLimit = kTargetLimit + 32;

bool SameName(std::string_view name, const Text& lower) {
    return CompareText(Text(name), lower, false) == 0;
}

std::string_view Trimmed(std::string_view value) {
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
        value.remove_prefix(1);
    }
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) {
        value.remove_suffix(1);
    }
    return value;
}

HeadVerdict Refused(int status) {
    return HeadVerdict{.state = HeadVerdict::State::kRefused, .request_size = 0, .status = status};
}

}  // namespace

HeadVerdict JudgeRequest(std::string_view received) {
    const std::size_t line_end = received.find('\n');
    if (line_end == std::string_view::npos ? received.size() > kRequestLineLimit : line_end > kRequestLineLimit) {
        return Refused(414);
    }
    // The head ends at the first empty line, with or without carriage returns.
    std::size_t head_end = std::string_view::npos;
    for (std::size_t at = received.find('\n'); at != std::string_view::npos; at = received.find('\n', at + 1)) {
        if (at + 1 < received.size() && received[at + 1] == '\n') {
            head_end = at + 2;
            break;
        }
        if (at + 2 < received.size() && received[at + 1] == '\r' && received[at + 2] == '\n') {
            head_end = at + 3;
            break;
        }
    }
    if (head_end == std::string_view::npos) {
        return received.size() > kHeadLimit ? Refused(431) : HeadVerdict{};
    }
    if (head_end > kHeadLimit) {
        return Refused(431);
    }
    std::size_t body_size = 0;
    bool length_seen = false;
    std::size_t at = line_end + 1;
    while (at < head_end) {
        const std::size_t end = received.find('\n', at);
        const std::string_view line = received.substr(at, end - at);
        at = end + 1;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;  // the empty line, or a line the library will judge
        }
        const std::string_view name = line.substr(0, colon);
        const std::string_view value = Trimmed(line.substr(colon + 1));
        if (SameName(name, "transfer-encoding")) {
            return Refused(411);
        }
        if (SameName(name, "content-length")) {
            std::size_t length = 0;
            const auto [end_of_number, problem] = std::from_chars(value.data(), value.data() + value.size(), length);
            if (length_seen || value.empty() || problem == std::errc::invalid_argument ||
                end_of_number != value.data() + value.size()) {
                return Refused(400);
            }
            if (problem == std::errc::result_out_of_range || length > kBodyLimit) {
                return Refused(413);
            }
            length_seen = true;
            body_size = length;
        }
    }
    const std::size_t request_size = head_end + body_size;
    if (received.size() < request_size) {
        return HeadVerdict{.state = HeadVerdict::State::kIncomplete, .request_size = request_size, .status = 0};
    }
    return HeadVerdict{.state = HeadVerdict::State::kWhole, .request_size = request_size, .status = 0};
}

}  // namespace yz::server
