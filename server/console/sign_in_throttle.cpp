#include "sign_in_throttle.h"

#include <algorithm>

namespace yz::console {

void SignInThrottle::Forget(std::int64_t now) {
    std::erase_if(failures_, [now](const auto& entry) { return now - entry.second.last > kForgetSeconds; });
}

std::int64_t SignInThrottle::WaitSeconds(std::string_view address, std::int64_t now) {
    std::lock_guard lock(mutex_);
    Forget(now);
    const auto found = failures_.find(address);
    if (found == failures_.end()) {
        return 0;
    }
    return std::max<std::int64_t>(0, found->second.next_allowed - now);
}

void SignInThrottle::RecordFailure(std::string_view address, std::int64_t now) {
    std::lock_guard lock(mutex_);
    CountFailure(address, now);
}

bool SignInThrottle::Claim(std::string_view address, std::int64_t now, std::int64_t& wait) {
    std::lock_guard lock(mutex_);
    Forget(now);
    wait = 0;
    if (const auto found = failures_.find(address); found != failures_.end() && found->second.next_allowed > now) {
        wait = found->second.next_allowed - now;
        return false;
    }
    if (!in_flight_.emplace(address).second) {
        return false;
    }
    CountFailure(address, now);
    return true;
}

void SignInThrottle::Release(std::string_view address, bool right) {
    std::lock_guard lock(mutex_);
    if (const auto found = in_flight_.find(address); found != in_flight_.end()) {
        in_flight_.erase(found);
    }
    if (right) {
        if (const auto found = failures_.find(address); found != failures_.end()) {
            failures_.erase(found);
        }
    }
}

void SignInThrottle::CountFailure(std::string_view address, std::int64_t now) {
    Forget(now);
    auto found = failures_.find(address);
    if (found == failures_.end()) {
        found = failures_.emplace(std::string(address), Failures{}).first;
    }
    Failures& entry = found->second;
    entry.count = std::min(entry.count + 1, 64);
    entry.last = now;
    const int over = entry.count - kFreeFailures;
    if (over > 0) {
        const std::int64_t wait =
            over > 9 ? kMaxWaitSeconds : std::min<std::int64_t>(kMaxWaitSeconds, 1LL << (over - 1));
        entry.next_allowed = now + wait;
    }
}

void SignInThrottle::RecordSuccess(std::string_view address) {
    std::lock_guard lock(mutex_);
    const auto found = failures_.find(address);
    if (found != failures_.end()) {
        failures_.erase(found);
    }
}

}  // namespace yz::console
