// Our RC4 and DES-ECB against libcrypto's on 16 MiB, then the ratios ours / libcrypto.
//
//   cipher_bench [Google Benchmark flags]
//
// Every iteration includes the key schedule, as one EncryptData call on a whole document does.

#include <openssl/des.h>
#include <openssl/rc4.h>

#include <benchmark/benchmark.h>

#include <cstring>

#include "rate_reporter.h"

#include "crypto/des_block.h"
#include "crypto/rc4.h"

// The low-level RC4_* and DES_* calls are deprecated in OpenSSL 3; they run the same code as the
// EVP ciphers of the legacy provider without the provider lookup.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

constexpr std::size_t kBufferBytes = std::size_t{16} << 20;
constexpr char kKey[] = "bench key 1795";

yz::Bytes& Buffer() {
    static yz::Bytes buffer = [] {
        yz::Bytes bytes(kBufferBytes);
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            bytes[n] = static_cast<std::uint8_t>(n * 2654435761u >> 13);
        }
        return bytes;
    }();
    return buffer;
}

void OursRc4(benchmark::State& state) {
    yz::Bytes& buffer = Buffer();
    for (auto _ : state) {
        yz::Rc4Apply(kKey, buffer.data(), buffer.data(), buffer.size());
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}

void OpenSslRc4(benchmark::State& state) {
    yz::Bytes& buffer = Buffer();
    for (auto _ : state) {
        RC4_KEY key;
        RC4_set_key(&key, static_cast<int>(std::strlen(kKey)), reinterpret_cast<const unsigned char*>(kKey));
        RC4(&key, buffer.size(), buffer.data(), buffer.data());
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}

void OursDesEcb(benchmark::State& state) {
    yz::Bytes& buffer = Buffer();
    for (auto _ : state) {
        const yz::DesBlockCipher cipher(yz::FoldDesKey(kKey));
        cipher.Encrypt(buffer.data(), buffer.size() / 8);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}

void OpenSslDesEcb(benchmark::State& state) {
    yz::Bytes& buffer = Buffer();
    for (auto _ : state) {
        const yz::DesKey folded = yz::FoldDesKey(kKey);
        DES_cblock key;
        std::memcpy(key, folded.data(), sizeof key);
        DES_key_schedule schedule;
        DES_set_key_unchecked(&key, &schedule);
        for (std::size_t n = 0; n < buffer.size(); n += 8) {
            auto* block = reinterpret_cast<DES_cblock*>(buffer.data() + n);
            DES_ecb_encrypt(block, block, &schedule, DES_ENCRYPT);
        }
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}

BENCHMARK(OursRc4)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenSslRc4)->Unit(benchmark::kMillisecond);
BENCHMARK(OursDesEcb)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenSslDesEcb)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmarks(
        argc, argv, {{"RC4", "OursRc4", "OpenSslRc4", "OpenSSL"}, {"DES", "OursDesEcb", "OpenSslDesEcb", "OpenSSL"}});
}
