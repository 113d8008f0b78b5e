#include "console_sessions.h"

#include <sodium.h>

#include <ctime>

namespace yz::console {

namespace {

// What the store knows a session by: a copy of the database holds no identifier a browser could
// present.
std::string IdHash(std::string_view id) {
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(id.data()), id.size());
    char hex[sizeof digest * 2 + 1];
    sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
    return hex;
}

}  // namespace

std::int64_t WallSeconds() {
    return static_cast<std::int64_t>(std::time(nullptr));
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
    const server::ConsoleSession session{.id_hash = IdHash(started.id),
                                         .csrf = started.csrf,
                                         .password_hash = std::string(password_hash),
                                         .started = now,
                                         .last_seen = now};
    if (!store_.AddConsoleSession(session, now - kIdleSeconds, kMaxSessions)) {
        return std::nullopt;
    }
    return started;
}

std::optional<std::string> ConsoleSessions::Touch(std::string_view id,
                                                  std::int64_t now,
                                                  std::string_view password_hash) {
    if (id.empty()) {
        return std::nullopt;
    }
    server::ConsoleSession session;
    const std::string id_hash = IdHash(id);
    const auto found = store_.TouchConsoleSession(id_hash, now, now - kIdleSeconds, session);
    if (!found || !*found) {
        return std::nullopt;
    }
    if (session.password_hash != password_hash) {
        store_.EndConsoleSession(id_hash);
        return std::nullopt;
    }
    return session.csrf;
}

bool ConsoleSessions::End(std::string_view id) {
    return store_.EndConsoleSession(IdHash(id));
}

}  // namespace yz::console
