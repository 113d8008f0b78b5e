#pragma once

// RC4 stream cipher. The key is any byte string; an empty key skips the key schedule and leaves
// the identity permutation. Encryption and decryption are the same operation.

#include <cstddef>
#include <cstdint>

#include "runtime/types.h"

namespace yz {

// XORs `size` bytes from `in` with the key stream into `out`; in == out is allowed.
void Rc4Apply(ByteView key, const std::uint8_t* in, std::uint8_t* out, std::size_t size);

Bytes Rc4Apply(ByteView key, ByteView data);

}  // namespace yz
