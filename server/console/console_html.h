#pragma once

// The console's HTML: a frame shared by every page (phone-sized, no outside files), escaping, and
// the pages that need no stored data. Everything here is UTF-8; the sources compile with a GBK
// execution character set, so every text of a page is a u8 literal.

#include <cstdint>
#include <string>
#include <string_view>

namespace yz::console {

// A u8 literal as the bytes of a std::string.
inline std::string U8(std::u8string_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

// `text` safe inside an element or a quoted attribute.
std::string EscapeHtml(std::string_view text);

// Every byte outside [A-Za-z0-9-._~] as %XX, for a value inside a link of a page.
std::string EscapeQueryValue(std::string_view bytes);

// A time in seconds since 1970 as "2026-12-09 08:30 UTC".
std::string FormatTime(std::int64_t seconds);

// What a page says at its top after an action: a confirmation or a refusal.
struct Notice {
    bool error = false;
    std::string text;  // UTF-8; nothing shown when empty
};

// The menu entries of a signed-in page.
enum class Section { kWorks, kFeedback, kVersion, kAnnouncement };

// A signed-in page: menu, sign-out button (carrying `csrf`), the notice, then `body`.
std::string SignedInPage(Section section,
                         std::string_view title,
                         std::string_view csrf,
                         const Notice& notice,
                         std::string_view body);

// The hidden input that carries the CSRF token inside a form.
std::string CsrfField(std::string_view csrf);

// The sign-in form; `csrf` is the token of the sign-in cookie.
std::string SignInPage(std::string_view csrf, const Notice& notice);

// The answer to every console address while no password is set.
std::string ConsoleOffPage();

}  // namespace yz::console
