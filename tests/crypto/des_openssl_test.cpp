// Our block cipher against libcrypto's DES on random keys and blocks.

#include <openssl/des.h>

#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "crypto/cipher_test_support.h"
#include "crypto/des_block.h"
#include "support/test_text.h"

// The DES_* calls are deprecated in OpenSSL 3 but remain the plainest reference.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace yz {
namespace {

Bytes OpenSslDes(const DesKey& key, const Bytes& data, int direction) {
    DES_cblock standard_key;
    for (std::size_t n = 0; n < key.size(); ++n) {
        standard_key[n] = test::ReverseBits(key[n]);
    }
    DES_key_schedule schedule;
    DES_set_key_unchecked(&standard_key, &schedule);
    Bytes out(data.size());
    for (std::size_t n = 0; n < data.size(); n += 8) {
        DES_cblock in;
        DES_cblock block;
        std::memcpy(in, data.data() + n, 8);
        DES_ecb_encrypt(&in, &block, &schedule, direction);
        std::memcpy(out.data() + n, block, 8);
    }
    return out;
}

TEST(DesOpenSslTest, AgreesOnRandomKeysAndBlocks) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        DesKey key;
        for (std::uint8_t& byte : key) {
            byte = static_cast<std::uint8_t>(random());
        }
        Bytes data(8 * (1 + random() % 16));
        for (std::uint8_t& byte : data) {
            byte = static_cast<std::uint8_t>(random());
        }
        const DesBlockCipher cipher(key);
        Bytes ours = data;
        cipher.Encrypt(ours.data(), ours.size() / 8);
        ASSERT_EQ(test::Hex(ours), test::Hex(OpenSslDes(key, data, DES_ENCRYPT))) << "round " << round;
        cipher.Decrypt(ours.data(), ours.size() / 8);
        ASSERT_EQ(ours, data) << "round " << round;
        // Decrypting foreign bytes must match as well, not only undo our own encryption.
        Bytes decrypted = data;
        cipher.Decrypt(decrypted.data(), decrypted.size() / 8);
        ASSERT_EQ(test::Hex(decrypted), test::Hex(OpenSslDes(key, data, DES_DECRYPT))) << "round " << round;
    }
}

}  // namespace
}  // namespace yz
