#pragma once

// The showcase answered on the listener's thread, from the kept body, without a worker or the
// HTTP library. Only the plain request the program sends is taken there: the other forms (HEAD,
// a query, a range, a compressed answer) go the library's way, which gives them their own answer.
// What the library would send for the plain request is written here byte for byte.

#include <string>
#include <string_view>

namespace yz::server {

// True for "GET /cxzp.asp HTTP/1.0" or "HTTP/1.1" whose headers ask for nothing that changes the
// answer (Range, Accept-Encoding, Expect). `request` is whole (see request_head.h).
bool IsPlainShowcaseRequest(std::string_view request);

// The whole HTTP answer to it: status line, headers, `body`.
std::string ShowcaseAnswer(std::string_view body);

}  // namespace yz::server
