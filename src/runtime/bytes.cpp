#include "runtime/bytes.h"

#include <algorithm>

namespace yz {

namespace {

std::size_t Clamp(const Bytes& bytes, int n) {
    return n <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), bytes.size());
}

}  // namespace

int BytesLength(const Bytes& bytes) {
    return static_cast<int>(bytes.size());
}

Bytes BytesLeft(const Bytes& bytes, int n) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(Clamp(bytes, n)));
}

Bytes BytesRight(const Bytes& bytes, int n) {
    return Bytes(bytes.end() - static_cast<std::ptrdiff_t>(Clamp(bytes, n)), bytes.end());
}

Bytes BlankBytes(int n) {
    return Bytes(n <= 0 ? 0 : static_cast<std::size_t>(n), 0);
}

}  // namespace yz
