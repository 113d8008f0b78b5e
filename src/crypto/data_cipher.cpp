#include "crypto/data_cipher.h"

#include <cstring>

#include "crypto/des_block.h"
#include "crypto/rc4.h"

namespace yz {

namespace {

constexpr std::size_t kBlockBytes = 8;
constexpr std::size_t kLengthBytes = 4;

// Buffer: data length (32-bit little-endian) | data | zero bytes up to a multiple of 8.
Bytes EncryptBlocks(ByteView data, ByteView key) {
    const std::size_t size = (data.size() + kLengthBytes + kBlockBytes - 1) / kBlockBytes * kBlockBytes;
    Bytes buffer(size, 0);
    const auto length = static_cast<std::uint32_t>(data.size());
    for (std::size_t n = 0; n < kLengthBytes; ++n) {
        buffer[n] = static_cast<std::uint8_t>(length >> (8 * n));
    }
    std::memcpy(buffer.data() + kLengthBytes, data.data(), data.size());
    DesBlockCipher(FoldDesKey(key)).Encrypt(buffer.data(), size / kBlockBytes);
    return buffer;
}

Bytes DecryptBlocks(ByteView data, ByteView key) {
    const std::size_t size = data.size();
    if (size == 0 || size % kBlockBytes != 0) {
        return {};
    }
    const DesBlockCipher cipher(FoldDesKey(key));
    // The first block alone tells whether the rest is worth decrypting.
    std::uint8_t first[kBlockBytes];
    std::memcpy(first, data.data(), kBlockBytes);
    cipher.Decrypt(first, 1);
    const std::uint64_t length = std::uint64_t{first[0]} | (std::uint64_t{first[1]} << 8) |
                                 (std::uint64_t{first[2]} << 16) | (std::uint64_t{first[3]} << 24);
    // 0 < L <= size - 4 and size < L + 12, i.e. the padding is shorter than a block; 64-bit
    // arithmetic keeps L + 12 from wrapping.
    if (length == 0 || length > size - kLengthBytes || size >= length + 12) {
        return {};
    }
    Bytes buffer(data.data(), data.data() + size);
    std::memcpy(buffer.data(), first, kBlockBytes);
    cipher.Decrypt(buffer.data() + kBlockBytes, size / kBlockBytes - 1);
    buffer.erase(buffer.begin(), buffer.begin() + kLengthBytes);
    buffer.resize(static_cast<std::size_t>(length));
    return buffer;
}

}  // namespace

Bytes EncryptData(ByteView data, ByteView key, CipherAlgorithm algorithm) {
    if (data.empty()) {
        return {};
    }
    if (algorithm == CipherAlgorithm::kStream) {
        return Rc4Apply(key, data);
    }
    return EncryptBlocks(data, key);
}

Bytes DecryptData(ByteView data, ByteView key, CipherAlgorithm algorithm) {
    if (data.empty()) {
        return {};
    }
    if (algorithm == CipherAlgorithm::kStream) {
        return Rc4Apply(key, data);
    }
    return DecryptBlocks(data, key);
}

CipherAlgorithm CipherAlgorithmFromNumber(int number) {
    return number == 2 ? CipherAlgorithm::kStream : CipherAlgorithm::kBlock;
}

}  // namespace yz
