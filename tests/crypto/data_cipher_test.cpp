#include "crypto/data_cipher.h"

#include <gtest/gtest.h>

#include "crypto/cipher_test_support.h"
#include "crypto/des_block.h"
#include "crypto/rc4.h"
#include "support/test_text.h"

namespace yz {
namespace {

using test::FromHex;
using test::Hex;

Bytes Sample(std::size_t size) {
    Bytes data(size);
    for (std::size_t n = 0; n < size; ++n) {
        data[n] = static_cast<std::uint8_t>(n * 131 + 17);
    }
    return data;
}

// Results computed outside this code base: framing by hand, then DES-ECB of libcrypto under the
// folded key with its bytes bit-reversed.
TEST(CipherFramingTest, BlockResultsMatchIndependentComputation) {
    EXPECT_EQ(Hex(EncryptData("abc", "key")), "7b 34 a5 a9 0b 2c ce 8c");
    EXPECT_EQ(Hex(EncryptData("The quick brown fox", "123456789")),
              "42 1a c0 d6 74 ad 53 4f 48 ba 28 3a 22 35 ba 4d 5c e3 cb 78 0c 09 b8 82");
    EXPECT_EQ(DecryptData(FromHex("7b 34 a5 a9 0b 2c ce 8c"), "key"), BytesOf("abc"));
}

TEST(CipherFramingTest, EmptyInputGivesEmptyOutputEitherWay) {
    for (CipherAlgorithm algorithm : {CipherAlgorithm::kBlock, CipherAlgorithm::kStream}) {
        EXPECT_TRUE(EncryptData(Bytes{}, "key", algorithm).empty());
        EXPECT_TRUE(DecryptData(Bytes{}, "key", algorithm).empty());
    }
}

// Which stated lengths L a decrypted buffer of a given size is accepted with: 0 < L <= size - 4
// and size < L + 12. The buffers are built and encrypted block by block, without the framing.
TEST(CipherFramingTest, AcceptsOnlyLengthsThatFitTheBuffer) {
    const struct {
        std::size_t size;
        std::uint32_t length;
        bool accepted;
    } cases[] = {
        {8, 0, false},          {8, 1, true},
        {8, 4, true},           {8, 5, false},
        {16, 4, false},         {16, 5, true},
        {16, 12, true},         {16, 13, false},
        {24, 12, false},        {24, 13, true},
        {24, 20, true},         {24, 21, false},
        {1024, 1012, false},    {1024, 1013, true},
        {1024, 1020, true},     {1024, 1021, false},
        {8, 0xfffffff8, false}, {16, 0xfffffffc, false},
        {8, 0xffffffff, false}, {16, 0x80000005, false},
    };
    const DesKey key = FoldDesKey("frame");
    for (const auto& c : cases) {
        Bytes buffer = Sample(c.size);
        for (int n = 0; n < 4; ++n) {
            buffer[n] = static_cast<std::uint8_t>(c.length >> (8 * n));
        }
        const Bytes tail(buffer.begin() + 4, buffer.end());
        DesBlockCipher(key).Encrypt(buffer.data(), buffer.size() / 8);
        const Bytes result = DecryptData(buffer, "frame");
        if (c.accepted) {
            EXPECT_EQ(result, Bytes(tail.begin(), tail.begin() + c.length)) << c.size << " / " << c.length;
        } else {
            EXPECT_TRUE(result.empty()) << c.size << " / " << c.length << ": " << Hex(result);
        }
    }
}

TEST(CipherFramingTest, RejectsSizesThatAreNotWholeBlocks) {
    const Bytes cipher = EncryptData(Sample(30), "blocks");
    ASSERT_EQ(cipher.size(), 40u);
    for (std::size_t size : {1, 7, 9, 15, 17, 39}) {
        EXPECT_TRUE(DecryptData(ByteView(cipher.data(), size), "blocks").empty()) << size;
    }
    Bytes longer = cipher;
    longer.push_back(0);
    EXPECT_TRUE(DecryptData(longer, "blocks").empty());
}

TEST(CipherFramingTest, WrongKeyDecryptsToEmpty) {
    const Bytes cipher = EncryptData("secret text", "right");
    EXPECT_TRUE(DecryptData(cipher, "wrong").empty());
    EXPECT_TRUE(DecryptData(cipher, "rightXXXXXXXX").empty());
    // Keys that fold to the same 8 bytes are the same key: 16 more bytes of X cancel out.
    EXPECT_EQ(DecryptData(cipher, "rightXXXXXXXXXXXXXXXX"), BytesOf("secret text"));
}

// The block buffer is the length plus 4 rounded up to a multiple of 8; the stream keeps the length.
TEST(CipherFramingTest, BothAlgorithmsRoundTripEveryLength) {
    for (CipherAlgorithm algorithm : {CipherAlgorithm::kBlock, CipherAlgorithm::kStream}) {
        for (std::size_t size = 1; size <= 70; ++size) {
            const Bytes data = Sample(size);
            const Bytes cipher = EncryptData(data, "round trip", algorithm);
            EXPECT_EQ(cipher.size(), algorithm == CipherAlgorithm::kStream ? size : (size + 4 + 7) / 8 * 8) << size;
            EXPECT_NE(cipher, data);
            EXPECT_EQ(DecryptData(cipher, "round trip", algorithm), data)
                << "algorithm " << static_cast<int>(algorithm) << " size " << size;
        }
    }
}

TEST(CipherFramingTest, StreamAlgorithmIsPlainRc4) {
    const Bytes data = Sample(100);
    EXPECT_EQ(EncryptData(data, "Key", CipherAlgorithm::kStream), Rc4Apply("Key", data));
    EXPECT_EQ(DecryptData(data, "Key", CipherAlgorithm::kStream), Rc4Apply("Key", data));
}

TEST(CipherFramingTest, AlgorithmNumbers) {
    const std::pair<int, CipherAlgorithm> cases[] = {{2, CipherAlgorithm::kStream},
                                                     {1, CipherAlgorithm::kBlock},
                                                     {0, CipherAlgorithm::kBlock},
                                                     {3, CipherAlgorithm::kBlock},
                                                     {-2, CipherAlgorithm::kBlock}};
    for (const auto& [number, algorithm] : cases) {
        EXPECT_EQ(CipherAlgorithmFromNumber(number), algorithm) << number;
    }
}

}  // namespace
}  // namespace yz
