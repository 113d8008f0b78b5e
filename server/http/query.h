#pragma once

// The query of a request target as the program writes it: pieces joined by "&", each a key, "="
// and a value. The program percent-encodes "&", "=", "#", "%", "+" and spaces in its values and
// leaves everything else raw (GBK bytes, "?", "/"), while other clients send raw "=" inside a
// link. So a piece is cut at its first "=" only, "%XX" is decoded once, and "+" stays "+".

#include <map>
#include <string>
#include <string_view>

namespace yz::server {

// The keys and values of `query` (the target after its first "?"), decoded. Empty pieces are
// skipped; a piece without "=" is a key with an empty value; a "%" not followed by two hex
// digits stays as it is.
std::multimap<std::string, std::string> ParseQuery(std::string_view query);

// The query of a request target: what follows its first "?", or nothing.
std::string_view QueryOf(std::string_view target);

}  // namespace yz::server
