#include "console_sessions.h"

#include <sodium.h>
#include <time.h>

#include <algorithm>

namespace yz::console {

std::int64_t MonotonicSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec;
}

std::string RandomToken() {
    if (sodium_init() < 0) {
        return {};
    }
    unsigned char bytes[32];
    randombytes_buf(bytes, sizeof bytes);
    char hex[sizeof bytes * 2 + 1];
    sodium_bin2hex(hex, sizeof hex, bytes, sizeof bytes);
    return hex;
}

bool SameToken(std::string_view a, std::string_view b) {
    if (a.empty() || a.size() != b.size()) {
        return false;
    }
    return sodium_memcmp(a.data(), b.data(), a.size()) == 0;
}

std::optional<ConsoleSessions::Started> ConsoleSessions::Start(std::int64_t now, std::string_view password_hash) {
    Started started{RandomToken(), RandomToken()};
    if (started.id.empty() || started.csrf.empty()) {
        return std::nullopt;
    }
    std::lock_guard lock(mutex_);
    std::erase_if(sessions_, [now](const auto& entry) { return now - entry.second.last_seen > kIdleSeconds; });
    if (sessions_.size() >= kMaxSessions) {
        const auto oldest = std::min_element(sessions_.begin(), sessions_.end(), [](const auto& a, const auto& b) {
            return a.second.started < b.second.started;
        });
        sessions_.erase(oldest);
    }
    sessions_[started.id] = Session{started.csrf, std::string(password_hash), now, now};
    return started;
}

std::optional<std::string> ConsoleSessions::Touch(std::string_view id,
                                                  std::int64_t now,
                                                  std::string_view password_hash) {
    std::lock_guard lock(mutex_);
    const auto found = sessions_.find(id);
    if (found == sessions_.end()) {
        return std::nullopt;
    }
    if (now - found->second.last_seen > kIdleSeconds || found->second.password_hash != password_hash) {
        sessions_.erase(found);
        return std::nullopt;
    }
    found->second.last_seen = now;
    return found->second.csrf;
}

void ConsoleSessions::End(std::string_view id) {
    std::lock_guard lock(mutex_);
    const auto found = sessions_.find(id);
    if (found != sessions_.end()) {
        sessions_.erase(found);
    }
}

}  // namespace yz::console
