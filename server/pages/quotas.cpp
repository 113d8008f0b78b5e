#include "server/pages/quotas.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>
#include <ctime>

namespace yz::server {

namespace {

constexpr std::int64_t kWindowSeconds = 3600;
// Addresses tracked at once; beyond that, finished hours are swept, and when none is finished a
// new address waits for one (its writes are refused meanwhile).
constexpr std::size_t kTrackedLimit = 200000;

std::string AddressKey(const std::string& address) {
    in6_addr v6{};
    if (inet_pton(AF_INET6, address.c_str(), &v6) != 1) {
        return address;
    }
    std::fill(v6.s6_addr + 8, v6.s6_addr + 16, 0);
    char text[INET6_ADDRSTRLEN] = {};
    inet_ntop(AF_INET6, &v6, text, sizeof text);
    return std::string(text) + "/64";
}

std::size_t LimitOf(const QuotaLimits& limits, WriteKind kind) {
    switch (kind) {
        case WriteKind::kPublish:
            return limits.publishes;
        case WriteKind::kRecord:
            return limits.records;
        case WriteKind::kFeedback:
            return limits.feedback;
    }
    return 0;
}

}  // namespace

std::optional<QuotaLimits> ParseQuotas(const std::vector<std::string>& settings, std::string& error) {
    QuotaLimits limits;
    for (const std::string& setting : settings) {
        std::string_view rest = setting;
        while (!rest.empty()) {
            const auto end = rest.find(',');
            const std::string_view word = rest.substr(0, end);
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
            const auto equals = word.find('=');
            const std::string_view kind = word.substr(0, equals);
            const std::string_view number = equals == std::string_view::npos ? "" : word.substr(equals + 1);
            std::size_t value = 0;
            const auto [stop, problem] = std::from_chars(number.data(), number.data() + number.size(), value);
            std::size_t* target = kind == "publish"    ? &limits.publishes
                                  : kind == "record"   ? &limits.records
                                  : kind == "feedback" ? &limits.feedback
                                                       : nullptr;
            if (target == nullptr || number.empty() || problem != std::errc() ||
                stop != number.data() + number.size()) {
                error = "--quota takes publish=N, record=N or feedback=N (writes per address and hour, 0: no limit)";
                return std::nullopt;
            }
            *target = value;
        }
    }
    return limits;
}

Quotas::Quotas(QuotaLimits limits, std::function<std::int64_t()> clock)
    : limits_(limits),
      clock_(clock ? std::move(clock) : [] { return static_cast<std::int64_t>(std::time(nullptr)); }) {}

bool Quotas::Take(WriteKind kind, const std::string& address) {
    const std::size_t limit = LimitOf(limits_, kind);
    if (limit == 0) {
        return true;
    }
    const std::int64_t now = clock_();
    const std::string key = std::to_string(static_cast<int>(kind)) + " " + AddressKey(address);
    std::lock_guard lock(mutex_);
    auto found = windows_.find(key);
    if (found == windows_.end()) {
        if (windows_.size() >= kTrackedLimit) {
            std::erase_if(windows_, [now](const auto& entry) { return now - entry.second.started >= kWindowSeconds; });
            if (windows_.size() >= kTrackedLimit) {
                return false;
            }
        }
        found = windows_.emplace(key, Window{.started = now, .count = 0}).first;
    }
    Window& window = found->second;
    if (now - window.started >= kWindowSeconds) {
        window = Window{.started = now, .count = 0};
    }
    if (window.count >= limit) {
        return false;
    }
    ++window.count;
    return true;
}

}  // namespace yz::server
