#pragma once

// Slows down guessing of the console password: per client address, the first kFreeFailures wrong
// passwords cost nothing extra; after that each further failure doubles the time before that
// address may try again (1 s, 2 s, 4 s ... up to kMaxWaitSeconds). Attempts inside that time are
// refused without looking at the password. A right password clears the count. Thread-safe.
//
// Sign-in claims each attempt before the password is checked: the attempt counts as a failure at
// once (a right password then clears the count), and one address has one check in flight at most,
// so attempts sent in parallel cannot slip past the count.

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace yz::console {

class SignInThrottle {
  public:
    static constexpr int kFreeFailures = 3;
    static constexpr std::int64_t kMaxWaitSeconds = 300;
    // An address quiet for this long starts afresh (and is forgotten, so the table stays small).
    static constexpr std::int64_t kForgetSeconds = 3600;

    // Seconds `address` still has to wait before an attempt is looked at; 0 when it may try now.
    std::int64_t WaitSeconds(std::string_view address, std::int64_t now);
    void RecordFailure(std::string_view address, std::int64_t now);
    void RecordSuccess(std::string_view address);

    // Claims an attempt from `address`, counted as a failure; false when the address must wait
    // (`wait` seconds) or has an attempt in flight (`wait` 0). A claim ends with Release.
    bool Claim(std::string_view address, std::int64_t now, std::int64_t& wait);
    // Ends the claimed attempt; `right` (the password was right) clears the count.
    void Release(std::string_view address, bool right);

  private:
    struct Failures {
        int count = 0;
        std::int64_t last = 0;
        std::int64_t next_allowed = 0;
    };
    void Forget(std::int64_t now);
    void CountFailure(std::string_view address, std::int64_t now);

    std::mutex mutex_;
    std::map<std::string, Failures, std::less<>> failures_;
    std::set<std::string, std::less<>> in_flight_;
};

}  // namespace yz::console
