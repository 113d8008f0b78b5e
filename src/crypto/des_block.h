#pragma once

// The block algorithm: single DES (FIPS 46) in ECB mode, with two particular choices about the
// key. The 8-byte key K is the key text XOR-folded: K[n mod 8] ^= byte n. The key schedule reads
// key bit m (0..63, as PC-1 numbers them) as bit (m mod 8) counted from the least significant bit
// of byte m div 8, so the cipher equals standard DES under K with every byte bit-reversed, and the
// most significant bit of each key byte is the unused parity bit. Blocks are big-endian as usual.

#include <array>
#include <cstddef>
#include <cstdint>

#include "runtime/types.h"

namespace yz {

using DesKey = std::array<std::uint8_t, 8>;

// K from a key text of any length; an empty key gives eight zero bytes.
DesKey FoldDesKey(ByteView key_text);

class DesBlockCipher {
  public:
    explicit DesBlockCipher(const DesKey& key);

    // Encrypts or decrypts `blocks` 8-byte blocks in place, each on its own (ECB).
    void Encrypt(std::uint8_t* data, std::size_t blocks) const;
    void Decrypt(std::uint8_t* data, std::size_t blocks) const;

  private:
    std::array<std::uint32_t, 32> subkeys_;  // 16 rounds, two words each
};

}  // namespace yz
