#pragma once

// Slows down guessing of the console password: per client address, the first kFreeFailures wrong
// passwords cost nothing extra; after that each further failure doubles the time before that
// address may try again (1 s, 2 s, 4 s ... up to kMaxWaitSeconds). Attempts inside that time are
// refused without looking at the password. A right password clears the count.
//
// Sign-in claims each attempt before the password is checked: the attempt counts as a failure at
// once (a right password then clears the count), and one address has one check in flight at most,
// so attempts sent in parallel cannot slip past the count. The counts are kept in the store, so
// every server process on the database counts the same attempts.

#include <cstdint>
#include <optional>
#include <string>

#include "server/store/store.h"

namespace yz::console {

class SignInThrottle {
  public:
    static constexpr int kFreeFailures = 3;
    static constexpr std::int64_t kMaxWaitSeconds = 300;
    // An address quiet for this long starts afresh (and is forgotten, so the table stays small).
    static constexpr std::int64_t kForgetSeconds = 3600;
    // A claim not released by then (its process ended during the check) no longer holds the address.
    static constexpr std::int64_t kClaimSeconds = 60;

    explicit SignInThrottle(server::Store& store) : store_(store) {}

    // Claims an attempt from `address`, counted as a failure: true when claimed; false when the
    // address must wait (`wait` seconds) or has an attempt in flight (`wait` 0); nullopt when the
    // store failed. A claim ends with Release.
    std::optional<bool> Claim(const std::string& address, std::int64_t now, std::int64_t& wait);
    // Ends the claimed attempt; `right` (the password was right) clears the count. When the
    // store fails here, the claim lapses after kClaimSeconds.
    void Release(const std::string& address, std::int64_t now, bool right);

  private:
    server::Store& store_;
};

}  // namespace yz::console
