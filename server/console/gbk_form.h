#pragma once

// The stored texts are GBK (the program reads them byte for byte); the console's pages and forms
// are UTF-8. Texts go to the browser through the lenient conversion and come back through the
// strict one, so nothing the browser sends is stored changed.

#include <optional>
#include <string>
#include <string_view>

namespace yz::console {

// The GBK bytes of `utf8`; nullopt when it is not valid UTF-8 or holds a character that GBK
// cannot encode.
std::optional<std::string> StrictGbkFromUtf8(std::string_view utf8);

// `gbk` for display; a byte that starts no GBK character shows as '?'.
std::string DisplayUtf8(std::string_view gbk);

// The first character of `utf8` that GBK cannot hold, as UTF-8, for the refusal message; "" when
// every character fits (or the text is not valid UTF-8 at all).
std::string FirstCharacterOutsideGbk(std::string_view utf8);

}  // namespace yz::console
