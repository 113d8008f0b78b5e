#include "sign_in_throttle.h"

#include <algorithm>

namespace yz::console {

namespace {

// `count` with one more failure at `now`, and the wait that follows from it.
server::SignInCount WithFailure(server::SignInCount count, std::int64_t now) {
    count.failures = std::min(count.failures + 1, 64);
    count.last = now;
    const int over = count.failures - SignInThrottle::kFreeFailures;
    if (over > 0) {
        const std::int64_t wait = over > 9 ? SignInThrottle::kMaxWaitSeconds
                                           : std::min<std::int64_t>(SignInThrottle::kMaxWaitSeconds, 1LL << (over - 1));
        count.next_allowed = now + wait;
    }
    return count;
}

}  // namespace

std::optional<bool> SignInThrottle::Claim(const std::string& address, std::int64_t now, std::int64_t& wait) {
    bool claimed = false;
    const bool stored = store_.ChangeSignInCount(
        address, now - kForgetSeconds, [&](const server::SignInCount& count) -> std::optional<server::SignInCount> {
            claimed = false;
            wait = std::max<std::int64_t>(0, count.next_allowed - now);
            if (wait > 0 || count.in_flight_until > now) {
                return count;
            }
            claimed = true;
            server::SignInCount counted = WithFailure(count, now);
            counted.in_flight_until = now + kClaimSeconds;
            return counted;
        });
    if (!stored) {
        return std::nullopt;
    }
    return claimed;
}

void SignInThrottle::Release(const std::string& address, std::int64_t now, bool right) {
    store_.ChangeSignInCount(address, now - kForgetSeconds,
                             [right](server::SignInCount count) -> std::optional<server::SignInCount> {
                                 if (right || count.failures == 0) {
                                     return std::nullopt;
                                 }
                                 count.in_flight_until = 0;
                                 return count;
                             });
}

}  // namespace yz::console
