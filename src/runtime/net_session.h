#pragma once

// What the platform files of the network services share: the fixed parts of every request and
// name resolution.

#include <cstdint>
#include <optional>

#include "runtime/types.h"

namespace yz {

// The user agent and accept header every request carries.
constexpr char kHttpUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// The read buffer for one answer: the announced length plus one, at most 102400 bytes; 10240
// bytes when the answer announces no length (or a length of 0 or less).
std::size_t HttpReadBufferSize(std::int64_t content_length);

// The IPv4 address of a dotted address or a host name, in network byte order; nothing when the
// host is empty or does not resolve. Starts the platform's socket library when it needs that.
std::optional<std::uint32_t> ResolveIPv4(const Text& host);

// Milliseconds on a clock that only moves forward.
std::int64_t MonotonicMilliseconds();

}  // namespace yz
