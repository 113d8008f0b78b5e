#include "crypto/rc4.h"

#include <gtest/gtest.h>

#include "crypto/cipher_test_support.h"
#include "support/test_text.h"

namespace yz {
namespace {

using test::FromHex;
using test::Hex;

Bytes KeyStream(ByteView key, std::size_t size) {
    return Rc4Apply(key, Bytes(size, 0));
}

struct KeyStreamCase {
    const char* key;
    std::size_t offset;
    const char* stream;  // 16 bytes from offset
};

// Published RC4 test vectors (RFC 6229).
const KeyStreamCase kKeyStreamCases[] = {
    {"0102030405", 0, "b2 39 63 05 f0 3d c0 27 cc c3 52 4a 0a 11 18 a8"},
    {"0102030405", 16, "69 82 94 4f 18 fc 82 d5 89 c4 03 a4 7a 0d 09 19"},
    {"0102030405", 240, "28 cb 11 32 c9 6c e2 86 42 1d ca ad b8 b6 9e ae"},
    {"0102030405", 256, "1c fc f6 2b 03 ed db 64 1d 77 df cf 7f 8d 8c 93"},
    {"0102030405", 4096, "ff 25 b5 89 95 99 67 07 e5 1f bd f0 8b 34 d8 75"},
    {"0102030405060708", 0, "97 ab 8a 1b f0 af b9 61 32 f2 f6 72 58 da 15 a8"},
    {"0102030405060708", 4096, "3f b4 6e 2c 8f 0f 06 8e dc e8 cd cd 7d fc 58 62"},
    {"0102030405060708090a0b0c0d0e0f10", 0, "9a c7 cc 9a 60 9d 1e f7 b2 93 28 99 cd e4 1b 97"},
    {"0102030405060708090a0b0c0d0e0f10", 240, "06 59 02 e4 b6 20 f6 cc 36 c8 58 9f 66 43 2f 2b"},
    // No key: the key schedule is skipped and the permutation starts as the identity.
    {"", 0, "02 05 07 0d 0d 17 1f 28 28 38 32 48 56 65 75 86"},
};

TEST(Rc4Test, KeyStreamMatchesPublishedVectors) {
    for (const KeyStreamCase& c : kKeyStreamCases) {
        const Bytes stream = KeyStream(FromHex(c.key), c.offset + 16);
        EXPECT_EQ(Hex(ByteView(stream.data() + c.offset, 16)), c.stream) << "key " << c.key << " offset " << c.offset;
    }
}

TEST(Rc4Test, EncryptsTextVectors) {
    const struct {
        const char* key;
        const char* plain;
        const char* cipher;
    } cases[] = {
        {"Key", "Plaintext", "bb f3 16 e8 d9 40 af 0a d3"},
        {"Wiki", "pedia", "10 21 bf 04 20"},
        {"Secret", "Attack at dawn", "45 a0 1f 64 5f c3 5b 38 35 52 54 4b 9b f5"},
    };
    for (const auto& c : cases) {
        const Bytes cipher = Rc4Apply(c.key, c.plain);
        EXPECT_EQ(Hex(cipher), c.cipher) << c.key;
        EXPECT_EQ(Rc4Apply(c.key, cipher), BytesOf(c.plain)) << c.key;
    }
}

// The key is read cyclically for 256 steps: repeating it changes nothing, and bytes past the
// 256th are never read.
TEST(Rc4Test, KeyIsReadCyclicallyForOneRound) {
    Bytes repeated;
    while (repeated.size() < 256) {
        repeated.push_back('a');
        repeated.push_back('b');
    }
    EXPECT_EQ(KeyStream("ab", 300), KeyStream(repeated, 300));
    Bytes longer = repeated;
    longer.insert(longer.end(), {'x', 'y', 'z'});
    EXPECT_EQ(KeyStream(repeated, 300), KeyStream(longer, 300));
    EXPECT_NE(KeyStream("ab", 300), KeyStream("ab\x01", 300));
}

// Lengths around the 8-byte steps: every shorter stream is a prefix of the longest.
TEST(Rc4Test, ShorterInputsGetPrefixesOfTheSameStream) {
    const Bytes whole = KeyStream("prefix", 70);
    for (std::size_t size = 0; size <= whole.size(); ++size) {
        const Bytes part = KeyStream("prefix", size);
        EXPECT_EQ(part, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size))) << size;
    }
}

TEST(Rc4Test, InPlaceEqualsSeparateBuffersAndTwiceRestores) {
    Bytes data(1000);
    for (std::size_t n = 0; n < data.size(); ++n) {
        data[n] = static_cast<std::uint8_t>(n * 7 + 3);
    }
    const Bytes expected = Rc4Apply("in place", data);
    Bytes buffer = data;
    Rc4Apply("in place", buffer.data(), buffer.data(), buffer.size());
    EXPECT_EQ(buffer, expected);
    Rc4Apply("in place", buffer.data(), buffer.data(), buffer.size());
    EXPECT_EQ(buffer, data);
    EXPECT_TRUE(Rc4Apply("key", Bytes{}).empty());
}

}  // namespace
}  // namespace yz
