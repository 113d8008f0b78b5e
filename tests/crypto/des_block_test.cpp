#include "crypto/des_block.h"

#include <gtest/gtest.h>

#include "crypto/cipher_test_support.h"
#include "support/test_text.h"

namespace yz {
namespace {

using test::FromHex;
using test::Hex;
using test::ReverseBits;

// Our cipher under K equals standard DES under K with every byte bit-reversed, so a published
// key is turned into ours by reversing its bytes.
DesKey OurKeyFor(std::string_view standard_key_hex) {
    const Bytes standard = FromHex(standard_key_hex);
    DesKey key{};
    for (std::size_t n = 0; n < key.size(); ++n) {
        key[n] = ReverseBits(standard[n]);
    }
    return key;
}

Bytes Encrypted(const DesKey& key, Bytes data) {
    DesBlockCipher(key).Encrypt(data.data(), data.size() / 8);
    return data;
}

Bytes Decrypted(const DesKey& key, Bytes data) {
    DesBlockCipher(key).Decrypt(data.data(), data.size() / 8);
    return data;
}

struct KnownAnswer {
    const char* key;  // as published, for standard DES
    const char* plain;
    const char* cipher;
};

const KnownAnswer kKnownAnswers[] = {
    {"133457799bbcdff1", "0123456789abcdef", "85 e8 13 54 0f 0a b4 05"},
    // "Now is the time for all " in ECB mode, three blocks at once.
    {"0123456789abcdef", "4e6f772069732074 68652074696d6520 666f7220616c6c20",
     "3f a4 0e 8a 98 4d 48 15 6a 27 17 87 ab 88 83 f9 89 3d 51 ec 4b 56 3b 53"},
    // ECB: the same three blocks twice over encrypt to the same blocks twice over.
    {"0123456789abcdef",
     "4e6f772069732074 68652074696d6520 666f7220616c6c20 4e6f772069732074 68652074696d6520 666f7220616c6c20",
     "3f a4 0e 8a 98 4d 48 15 6a 27 17 87 ab 88 83 f9 89 3d 51 ec 4b 56 3b 53 "
     "3f a4 0e 8a 98 4d 48 15 6a 27 17 87 ab 88 83 f9 89 3d 51 ec 4b 56 3b 53"},
    {"0101010101010101", "8000000000000000", "95 f8 a5 e5 dd 31 d9 00"},
    {"0101010101010101", "4000000000000000", "dd 7f 12 1c a5 01 56 19"},
    {"8001010101010101", "0000000000000000", "95 a8 d7 28 13 da a9 4d"},
    {"3000000000000000", "1000000000000001", "95 8e 6e 62 7a 05 55 7b"},
    {"0000000000000000", "0000000000000000", "8c a6 4d e9 c1 b1 23 a7"},
    {"ffffffffffffffff", "ffffffffffffffff", "73 59 b2 16 3e 4e dc 58"},
};

TEST(DesBlockTest, MatchesPublishedVectorsWithReversedKeyBytes) {
    for (const KnownAnswer& c : kKnownAnswers) {
        const DesKey key = OurKeyFor(c.key);
        const Bytes cipher = Encrypted(key, FromHex(c.plain));
        EXPECT_EQ(Hex(cipher), c.cipher) << "key " << c.key;
        EXPECT_EQ(Decrypted(key, cipher), FromHex(c.plain)) << "key " << c.key;
    }
}

TEST(DesBlockTest, FoldsKeyTextOntoEightBytes) {
    const struct {
        const char* text;
        const char* key;
    } cases[] = {
        {"", "00 00 00 00 00 00 00 00"},
        {"abc", "61 62 63 00 00 00 00 00"},
        {"12345678", "31 32 33 34 35 36 37 38"},
        {"123456789", "08 32 33 34 35 36 37 38"},
        {"abcdefghabcdefgh", "00 00 00 00 00 00 00 00"},
        {"pwtm3842hd1795rvb", "7a 13 45 5a 0a 0d 46 44"},
    };
    for (const auto& c : cases) {
        const DesKey key = FoldDesKey(c.text);
        EXPECT_EQ(Hex(ByteView(key.data(), key.size())), c.key) << c.text;
    }
}

// The top bit of each key byte is the parity bit the schedule never reads; every other bit
// changes the cipher.
TEST(DesBlockTest, OnlyTheTopBitOfEachKeyByteIsIgnored) {
    const DesKey base = FoldDesKey("parity!!");
    const Bytes plain = FromHex("0123456789abcdef fedcba9876543210");
    const Bytes expected = Encrypted(base, plain);
    for (int bit = 0; bit < 64; ++bit) {
        DesKey key = base;
        key[bit / 8] ^= static_cast<std::uint8_t>(1 << (bit % 8));
        if (bit % 8 == 7) {
            EXPECT_EQ(Encrypted(key, plain), expected) << "bit " << bit;
        } else {
            EXPECT_NE(Encrypted(key, plain), expected) << "bit " << bit;
        }
    }
}

}  // namespace
}  // namespace yz
