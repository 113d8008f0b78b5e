#pragma once

// A request as it arrives on a public connection, judged before any worker sees it. The program
// sends one HTTP/1.0 GET of a few hundred bytes per connection and never a body. So a request is
// whole once its head (ended by an empty line) and the small body its Content-Length may announce
// have arrived, and is refused at the head:
//   414  a request line longer than a target of kTargetLimit bytes can make
//   431  a head over kHeadLimit bytes
//   411  any Transfer-Encoding (a chunked body has no length to bound before it is read)
//   400  a Content-Length that is not one decimal number
//   413  an announced body over kBodyLimit
// Nothing else is decided here; the HTTP library parses the whole request afterwards.

#include <cstddef>
#include <string_view>

namespace yz::server {

// The longest work link with every byte percent-encoded fits, beside the other fields.
inline constexpr std::size_t kTargetLimit = 4096;
inline constexpr std::size_t kHeadLimit = 8192;
// A page request carries no body; a little is let through for clients that send an empty form.
inline constexpr std::size_t kBodyLimit = 1024;

struct HeadVerdict {
    enum class State { kIncomplete, kWhole, kRefused };
    State state = State::kIncomplete;
    std::size_t request_size = 0;  // kWhole: the head and its body, the bytes to hand on
    int status = 0;                // kRefused: the status to answer with
};

// `received`: the bytes of the connection so far.
HeadVerdict JudgeRequest(std::string_view received);

}  // namespace yz::server
