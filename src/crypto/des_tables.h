#pragma once

// Tables of the block cipher, private to src/crypto. The bit numbers inside the permutation
// tables count from 1 at the most significant bit, as the standard prints them.

#include <array>
#include <cstdint>

namespace yz::des {

// Key schedule: PC-1 picks 56 of the 64 key bits into C (first 28) and D (last 28); each round
// rotates both left by kShifts[round]; PC-2 picks the 48 subkey bits out of C | D.
extern const std::array<std::uint8_t, 56> kPc1;
extern const std::array<std::uint8_t, 16> kShifts;
extern const std::array<std::uint8_t, 48> kPc2;

// The S-boxes and the P permutation folded together: kSp[box][six input bits] is the output of
// S-box `box` (0..7) moved to its place in the 32-bit half and permuted by P, then rotated left by
// one bit, because the round keeps both halves rotated left by one (see des_block.cpp).
using SpTables = std::array<std::array<std::uint32_t, 64>, 8>;
extern const SpTables kSp;

}  // namespace yz::des
