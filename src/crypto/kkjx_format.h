#pragma once

// The .kkjx encrypted document file.
//
// file = block-encrypt(P) under the fixed file key "pwtm3842hd1795rvb", P = H | C | W:
//   H  header, 10 ASCII bytes: machine tag (4) | month + 9 (2) | day + 9 (2) | hour + 9 (2).
//      The tag is the last 4 characters of the disk number's decimal text, "1002" when the
//      number is 0; a shorter tag is left-padded with '0' and the hour field with '0', so the
//      header always has the 10 bytes that the reader drops. No field is read back.
//   C  body: every document byte + 56 (mod 256), then RC4 under the password as typed.
//   W  check field, 9 bytes: the password left-padded with '~'.
// Opening compares the last 9 bytes of the decrypted P with W built from the entered password;
// a mismatch, or a file whose framing does not decrypt, is a wrong password.

#include <cstdint>
#include <optional>

#include "runtime/types.h"

namespace yz {

inline constexpr int kKkjxPasswordMaxBytes = 9;
inline constexpr int kKkjxHeaderBytes = 10;

// The file bytes for a document encrypted with `password` (1 to 9 bytes) at local time `now` on
// the computer with `disk_number`.
Bytes BuildKkjxFile(ByteView document, const Text& password, const DateTime& now, std::int32_t disk_number);

// The document text (up to its first zero byte), or nullopt for a wrong password.
std::optional<Text> OpenKkjxFile(ByteView file, const Text& password);

// The 10-byte plain header (exposed for tests of its fields).
Text KkjxHeader(const DateTime& now, std::int32_t disk_number);

}  // namespace yz
