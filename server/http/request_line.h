#pragma once

// The program leaves "?" raw inside query values (a work link such as
// "http://a.com/book?id%3D7" keeps its question mark), and the HTTP library refuses a target with
// a second "?". Every "?" after the first in the target of a request line is written as "%3F",
// which the library decodes back, so the value arrives whole. Nothing else changes.

#include <string>

namespace yz::server {

// `line` is the request line without its line break: method, space, target, space, version.
std::string MendRequestLine(const std::string& line);

}  // namespace yz::server
