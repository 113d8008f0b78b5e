#pragma once

// Signed-in console sessions of this server process. A session is a random identifier held in an
// HttpOnly, SameSite=Strict cookie, plus a second random token that every form of that session
// carries (the CSRF token). Sessions end after kIdleSeconds without a request, on sign-out, when
// the console's password changes (each session keeps the password hash it was made under), or
// when more than kMaxSessions are open (the oldest goes). Thread-safe.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace yz::console {

// Seconds on a clock that never goes back; the unit every time in the console is counted in.
std::int64_t MonotonicSeconds();

// 32 random bytes as 64 lowercase hex digits; "" when libsodium cannot start.
std::string RandomToken();

// Compares two tokens in time independent of where they differ; false when either is empty.
bool SameToken(std::string_view a, std::string_view b);

class ConsoleSessions {
  public:
    static constexpr std::int64_t kIdleSeconds = 30 * 60;
    static constexpr std::size_t kMaxSessions = 32;

    struct Started {
        std::string id;
        std::string csrf;
    };

    // A new session made under `password_hash`; nullopt when no random token could be made.
    std::optional<Started> Start(std::int64_t now, std::string_view password_hash);
    // The CSRF token of a live session (and its idle time restarts); nullopt for an unknown,
    // ended or expired identifier, or one made under another password than `password_hash`.
    std::optional<std::string> Touch(std::string_view id, std::int64_t now, std::string_view password_hash);
    void End(std::string_view id);

  private:
    struct Session {
        std::string csrf;
        std::string password_hash;
        std::int64_t started;
        std::int64_t last_seen;
    };
    std::mutex mutex_;
    std::map<std::string, Session, std::less<>> sessions_;
};

}  // namespace yz::console
