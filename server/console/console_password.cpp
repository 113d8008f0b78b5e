#include "console_password.h"

#include <sodium.h>

#include <mutex>

namespace yz::console {

namespace {

bool SodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

std::mutex verify_mutex;

}  // namespace

std::string HashConsolePassword(std::string_view password) {
    if (!SodiumReady()) {
        return {};
    }
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
        return {};
    }
    return out;
}

namespace {

// The check itself; the caller holds verify_mutex.
bool Verify(std::string_view stored_hash, std::string_view password) {
    if (!SodiumReady() || stored_hash.empty() || stored_hash.size() >= crypto_pwhash_STRBYTES) {
        return false;
    }
    // crypto_pwhash_str_verify wants a zero-terminated string of at most STRBYTES.
    char hash[crypto_pwhash_STRBYTES] = {};
    stored_hash.copy(hash, stored_hash.size());
    return crypto_pwhash_str_verify(hash, password.data(), password.size()) == 0;
}

}  // namespace

PasswordCheck CheckConsolePassword(std::string_view stored_hash, std::string_view password) {
    std::unique_lock lock(verify_mutex, std::try_to_lock);
    if (!lock.owns_lock()) {
        return PasswordCheck::kBusy;
    }
    return Verify(stored_hash, password) ? PasswordCheck::kRight : PasswordCheck::kWrong;
}

bool VerifyConsolePassword(std::string_view stored_hash, std::string_view password) {
    std::lock_guard lock(verify_mutex);
    return Verify(stored_hash, password);
}

}  // namespace yz::console
