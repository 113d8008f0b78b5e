#include "runtime/net_session.h"

namespace yz {

namespace {

constexpr std::size_t kReadCeiling = 102400;
constexpr std::size_t kReadWithoutLength = 10240;

}  // namespace

std::size_t HttpReadBufferSize(std::int64_t content_length) {
    if (content_length <= 0) {
        return kReadWithoutLength;
    }
    if (content_length >= static_cast<std::int64_t>(kReadCeiling)) {
        return kReadCeiling;
    }
    return static_cast<std::size_t>(content_length) + 1;
}

}  // namespace yz
