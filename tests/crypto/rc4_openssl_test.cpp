// Our stream cipher against libcrypto's RC4 on random keys and lengths.

#include <openssl/rc4.h>

#include <random>

#include <gtest/gtest.h>

#include "crypto/rc4.h"
#include "support/test_text.h"

// The RC4_* calls are deprecated in OpenSSL 3 but need no provider, unlike EVP's RC4.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace yz {
namespace {

TEST(Rc4OpenSslTest, AgreesOnRandomKeysAndLengths) {
    std::mt19937 random(6229);
    for (int round = 0; round < 300; ++round) {
        Bytes key(1 + random() % 300);
        for (std::uint8_t& byte : key) {
            byte = static_cast<std::uint8_t>(random());
        }
        Bytes data(random() % 2000);
        for (std::uint8_t& byte : data) {
            byte = static_cast<std::uint8_t>(random());
        }
        RC4_KEY state;
        RC4_set_key(&state, static_cast<int>(key.size()), key.data());
        Bytes expected(data.size());
        RC4(&state, data.size(), data.data(), expected.data());
        ASSERT_EQ(test::Hex(Rc4Apply(key, data)), test::Hex(expected))
            << "round " << round << " key " << key.size() << " bytes, data " << data.size();
    }
}

}  // namespace
}  // namespace yz
