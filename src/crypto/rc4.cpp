#include "crypto/rc4.h"

#include <bit>
#include <cstring>

namespace yz {

namespace {

// The permutation is held in 32-bit cells: byte cells would make every index a zero-extending
// load and every swap a partial-register write, which costs more than the larger table.
using Rc4State = std::uint32_t[256];

void ScheduleKey(ByteView key, Rc4State state) {
    for (std::uint32_t i = 0; i < 256; ++i) {
        state[i] = i;
    }
    if (key.empty()) {
        return;
    }
    const std::uint8_t* bytes = key.data();
    const std::size_t length = key.size();
    std::uint32_t j = 0;
    std::size_t k = 0;
    for (std::uint32_t i = 0; i < 256; ++i) {
        const std::uint32_t t = state[i];
        j = (j + t + bytes[k]) & 255;
        state[i] = state[j];
        state[j] = t;
        if (++k == length) {
            k = 0;
        }
    }
}

}  // namespace

void Rc4Apply(ByteView key, const std::uint8_t* in, std::uint8_t* out, std::size_t size) {
    if (size == 0) {
        return;
    }
    Rc4State state;
    ScheduleKey(key, state);
    // `a` is already state[i] for the coming step: the next cell is read right after the swap
    // (which may have written it), so the load is not on the chain through j.
    std::uint32_t i = 1;
    std::uint32_t j = 0;
    std::uint32_t a = state[1];
    auto next = [&]() -> std::uint64_t {
        j = (j + a) & 255;
        const std::uint32_t b = state[j];
        state[j] = a;
        state[i] = b;
        const std::uint32_t out_byte = state[(a + b) & 255];
        i = (i + 1) & 255;
        a = state[i];
        return out_byte;
    };
    std::size_t n = 0;
    // Eight key stream bytes at a time, combined with the input as one little-endian word.
    static_assert(std::endian::native == std::endian::little);
    for (; n + 8 <= size; n += 8) {
        std::uint64_t stream = 0;
        for (int byte = 0; byte < 8; ++byte) {
            stream |= next() << (8 * byte);
        }
        std::uint64_t word;
        std::memcpy(&word, in + n, 8);
        word ^= stream;
        std::memcpy(out + n, &word, 8);
    }
    for (; n < size; ++n) {
        out[n] = static_cast<std::uint8_t>(in[n] ^ next());
    }
}

Bytes Rc4Apply(ByteView key, ByteView data) {
    Bytes out(data.size());
    Rc4Apply(key, data.data(), out.data(), data.size());
    return out;
}

}  // namespace yz
