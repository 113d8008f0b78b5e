#pragma once

// EncryptData / DecryptData: the two data ciphers behind one call, with the block cipher's
// framing.
//
// Block framing (algorithm 1): the buffer is the data length as a 32-bit little-endian integer,
// the data, then zero bytes up to the next multiple of 8; every block is encrypted on its own.
// Decryption needs a positive multiple of 8 bytes; the first 4 decrypted bytes give L, and the
// result is the L bytes that follow when 0 < L <= input length - 4 and input length < L + 12.
// Anything else decrypts to empty, which is the only sign of a wrong key or a foreign input.

#include "runtime/types.h"

namespace yz {

enum class CipherAlgorithm { kBlock = 1, kStream = 2 };

// Empty input gives empty output in both directions.
Bytes EncryptData(ByteView data, ByteView key, CipherAlgorithm algorithm = CipherAlgorithm::kBlock);
Bytes DecryptData(ByteView data, ByteView key, CipherAlgorithm algorithm = CipherAlgorithm::kBlock);

// The algorithm numbers the program passes: 2 is the stream cipher, anything else the block one.
CipherAlgorithm CipherAlgorithmFromNumber(int number);

}  // namespace yz
