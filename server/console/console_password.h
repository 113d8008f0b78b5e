#pragma once

// The console's sign-in password, kept only as libsodium's salted, memory-hard hash string
// (crypto_pwhash_str: algorithm, parameters, salt and hash in one printable text).

#include <string>
#include <string_view>

namespace yz::console {

// Shortest password the admin command accepts.
inline constexpr std::size_t kMinPasswordLength = 8;

// The hash text to store for `password`; "" when libsodium fails (out of memory).
std::string HashConsolePassword(std::string_view password);

// A check of a sign-in password. One runs at a time (each takes tens of megabytes and a good part
// of a second on purpose); a check asked for while another runs is not queued but answered kBusy.
enum class PasswordCheck { kRight, kWrong, kBusy };
PasswordCheck CheckConsolePassword(std::string_view stored_hash, std::string_view password);

// True when `password` matches `stored_hash`; false for a wrong password or a malformed hash.
// Verifications run one at a time: each takes tens of megabytes on purpose.
bool VerifyConsolePassword(std::string_view stored_hash, std::string_view password);

}  // namespace yz::console
