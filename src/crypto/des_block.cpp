#include "crypto/des_block.h"

#include "crypto/des_tables.h"

namespace yz {

namespace {

// Halves are 32-bit words holding bits 1..32 of the standard numbering from the most significant
// bit down. During the rounds both halves are kept rotated left by one bit: then the expansion E
// needs no shuffling, because the six input bits of S-box 2, 4, 6, 8 are bits 24..29, 16..21,
// 8..13, 0..5 of the rotated half, and those of S-box 1, 3, 5, 7 the same bits of the rotated half
// turned right by another 4. Each round's subkey is stored to match: word 0 holds the six key bits
// of S-box 1, 3, 5, 7 in bits 24, 16, 8, 0 upwards, word 1 those of S-box 2, 4, 6, 8.

inline std::uint32_t RotateLeft(std::uint32_t value, int count) {
    return (value << count) | (value >> (32 - count));
}

inline std::uint32_t RotateRight(std::uint32_t value, int count) {
    return (value >> count) | (value << (32 - count));
}

// Exchanges the bits of `a` selected by mask << shift with the bits of `b` selected by mask.
inline void SwapMove(std::uint32_t& a, std::uint32_t& b, int shift, std::uint32_t mask) {
    const std::uint32_t t = ((a >> shift) ^ b) & mask;
    b ^= t;
    a ^= t << shift;
}

// IP as a series of bit-block exchanges, leaving both halves rotated left by one.
inline void InitialPermutation(std::uint32_t& left, std::uint32_t& right) {
    SwapMove(left, right, 4, 0x0f0f0f0f);
    SwapMove(left, right, 16, 0x0000ffff);
    SwapMove(right, left, 2, 0x33333333);
    SwapMove(right, left, 8, 0x00ff00ff);
    right = RotateLeft(right, 1);
    const std::uint32_t t = (left ^ right) & 0xaaaaaaaa;
    left ^= t;
    right ^= t;
    left = RotateLeft(left, 1);
}

// The exact reverse of InitialPermutation, taking rotated halves.
inline void FinalPermutation(std::uint32_t& left, std::uint32_t& right) {
    left = RotateRight(left, 1);
    const std::uint32_t t = (left ^ right) & 0xaaaaaaaa;
    left ^= t;
    right ^= t;
    right = RotateRight(right, 1);
    SwapMove(right, left, 8, 0x00ff00ff);
    SwapMove(right, left, 2, 0x33333333);
    SwapMove(left, right, 16, 0x0000ffff);
    SwapMove(left, right, 4, 0x0f0f0f0f);
}

inline std::uint32_t Feistel(std::uint32_t half, const std::uint32_t* key) {
    const auto& sp = des::kSp;
    const std::uint32_t odd = RotateRight(half, 4) ^ key[0];
    const std::uint32_t even = half ^ key[1];
    return sp[0][(odd >> 24) & 63] | sp[2][(odd >> 16) & 63] | sp[4][(odd >> 8) & 63] | sp[6][odd & 63] |
           sp[1][(even >> 24) & 63] | sp[3][(even >> 16) & 63] | sp[5][(even >> 8) & 63] | sp[7][even & 63];
}

inline std::uint32_t LoadBigEndian(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

inline void StoreBigEndian(std::uint8_t* p, std::uint32_t value) {
    p[0] = static_cast<std::uint8_t>(value >> 24);
    p[1] = static_cast<std::uint8_t>(value >> 16);
    p[2] = static_cast<std::uint8_t>(value >> 8);
    p[3] = static_cast<std::uint8_t>(value);
}

// Encrypts kLanes blocks side by side: the rounds of one block form a single chain of dependent
// table look-ups, so interleaving independent blocks keeps more of the processor busy.
// Decryption is encryption with the rounds' subkeys taken in reverse order.
template <bool kDecrypt, int kLanes>
inline void CryptLanes(const std::uint32_t* keys, std::uint8_t* data) {
    std::uint32_t left[kLanes];
    std::uint32_t right[kLanes];
    for (int lane = 0; lane < kLanes; ++lane) {
        left[lane] = LoadBigEndian(data + 8 * lane);
        right[lane] = LoadBigEndian(data + 8 * lane + 4);
        InitialPermutation(left[lane], right[lane]);
    }
    for (int round = 0; round < 16; round += 2) {
        const std::uint32_t* first = keys + 2 * (kDecrypt ? 15 - round : round);
        const std::uint32_t* second = keys + 2 * (kDecrypt ? 14 - round : round + 1);
        for (int lane = 0; lane < kLanes; ++lane) {
            left[lane] ^= Feistel(right[lane], first);
        }
        for (int lane = 0; lane < kLanes; ++lane) {
            right[lane] ^= Feistel(left[lane], second);
        }
    }
    for (int lane = 0; lane < kLanes; ++lane) {
        // The last round does not exchange the halves.
        FinalPermutation(right[lane], left[lane]);
        StoreBigEndian(data + 8 * lane, right[lane]);
        StoreBigEndian(data + 8 * lane + 4, left[lane]);
    }
}

template <bool kDecrypt>
void CryptBlocks(const std::array<std::uint32_t, 32>& subkeys, std::uint8_t* data, std::size_t blocks) {
    constexpr int kLanes = 4;
    std::size_t n = 0;
    for (; n + kLanes <= blocks; n += kLanes) {
        CryptLanes<kDecrypt, kLanes>(subkeys.data(), data + 8 * n);
    }
    for (; n < blocks; ++n) {
        CryptLanes<kDecrypt, 1>(subkeys.data(), data + 8 * n);
    }
}

// Key bit `number` (1..64 as PC-1 counts): bit (number - 1) mod 8 from the least significant bit
// of byte (number - 1) div 8, which makes the top bit of every key byte the unused parity bit.
inline std::uint32_t KeyBit(const DesKey& key, int number) {
    return (key[(number - 1) / 8] >> ((number - 1) % 8)) & 1;
}

}  // namespace

DesKey FoldDesKey(ByteView key_text) {
    DesKey key{};
    for (std::size_t n = 0; n < key_text.size(); ++n) {
        key[n % 8] ^= key_text.data()[n];
    }
    return key;
}

DesBlockCipher::DesBlockCipher(const DesKey& key) {
    // c and d are the two 28-bit registers, bit 1 of each at bit 27.
    std::uint32_t c = 0;
    std::uint32_t d = 0;
    for (int n = 0; n < 28; ++n) {
        c = (c << 1) | KeyBit(key, des::kPc1[n]);
        d = (d << 1) | KeyBit(key, des::kPc1[n + 28]);
    }
    constexpr std::uint32_t kMask28 = 0x0fffffff;
    for (int round = 0; round < 16; ++round) {
        const int shift = des::kShifts[round];
        c = ((c << shift) | (c >> (28 - shift))) & kMask28;
        d = ((d << shift) | (d >> (28 - shift))) & kMask28;
        // groups[box] = the six subkey bits of S-box box + 1, first bit highest.
        std::uint32_t groups[8] = {};
        for (int n = 0; n < 48; ++n) {
            const int from = des::kPc2[n];  // 1..56 over c | d
            const std::uint32_t bit = from <= 28 ? (c >> (28 - from)) & 1 : (d >> (56 - from)) & 1;
            groups[n / 6] = (groups[n / 6] << 1) | bit;
        }
        subkeys_[2 * round] = (groups[0] << 24) | (groups[2] << 16) | (groups[4] << 8) | groups[6];
        subkeys_[2 * round + 1] = (groups[1] << 24) | (groups[3] << 16) | (groups[5] << 8) | groups[7];
    }
}

void DesBlockCipher::Encrypt(std::uint8_t* data, std::size_t blocks) const {
    CryptBlocks<false>(subkeys_, data, blocks);
}

void DesBlockCipher::Decrypt(std::uint8_t* data, std::size_t blocks) const {
    CryptBlocks<true>(subkeys_, data, blocks);
}

}  // namespace yz
