#pragma once

// Signed-in console sessions, kept in the store so that every server process on the database
// knows them. A session is a random identifier held in an HttpOnly, SameSite=Strict cookie (the
// store keeps only its hash), plus a second random token that every form of that session carries
// (the CSRF token). Sessions end after kIdleSeconds without a request, on sign-out, when the
// console's password changes (each session keeps the password hash it was made under), or when
// more than kMaxSessions are open (the oldest goes). Thread-safe.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "server/store/store.h"

namespace yz::console {

// Seconds since 1970 UTC: the unit every time in the console is counted in. Server processes
// sharing sessions may run on different machines, so it is the wall clock, not one machine's
// monotonic clock.
std::int64_t WallSeconds();

// 32 random bytes as 64 lowercase hex digits; "" when libsodium cannot start.
std::string RandomToken();

// Compares two tokens in time independent of where they differ; false when either is empty.
bool SameToken(std::string_view a, std::string_view b);

class ConsoleSessions {
  public:
    static constexpr std::int64_t kIdleSeconds = 30 * 60;
    static constexpr std::size_t kMaxSessions = 32;

    explicit ConsoleSessions(server::Store& store) : store_(store) {}

    struct Started {
        std::string id;
        std::string csrf;
    };

    // A new session made under `password_hash`; nullopt when no random token could be made or
    // the store failed.
    std::optional<Started> Start(std::int64_t now, std::string_view password_hash);
    // The CSRF token of a live session (and its idle time restarts); nullopt for an unknown,
    // ended or expired identifier, one made under another password than `password_hash`, or when
    // the store failed.
    std::optional<std::string> Touch(std::string_view id, std::int64_t now, std::string_view password_hash);
    // False when the store failed (the session may live on).
    bool End(std::string_view id);

  private:
    server::Store& store_;
};

}  // namespace yz::console
