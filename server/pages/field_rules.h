#pragma once

// What the server accepts in a field the program sends. The program splits the showcase answer at
// "<br>" and "|" and a records answer (a list of pen names) at "~", on GBK character boundaries; a
// field holding a separator of an answer it appears in, or bytes that are not whole GBK characters
// (a lead byte swallowing the separator after it), would break every answer that carries it. So a
// field is refused unless it is whole GBK text without those separators or control bytes, within
// the byte limit of the box it comes from, and not empty where the program never sends it empty.
// Everything else the program's own checks let through ("~" in a motto or link, "●" anywhere) is
// stored.
//
// Every program hands a work link to the system's shell when the writer clicks it, so a link is
// stored only when it is a web address: it begins with "http://" or "https://" (in any case) and
// holds no "\", space or control byte. The announcement link follows the same rule.

#include <cstddef>
#include <string>
#include <string_view>

namespace yz::server {

enum class Field { kPenName, kWorkName, kMotto, kLink, kNickname, kFeedbackText };

// Byte limits of the program's input boxes; the link box has none, the server sets one so a
// showcase entry stays small.
inline constexpr std::size_t kPenNameLimit = 16;
inline constexpr std::size_t kWorkNameLimit = 20;
inline constexpr std::size_t kMottoLimit = 36;
inline constexpr std::size_t kLinkLimit = 1024;
inline constexpr std::size_t kNicknameLimit = 20;
inline constexpr std::size_t kFeedbackTextLimit = 180;
// The program refuses feedback of this many bytes or fewer.
inline constexpr std::size_t kFeedbackTextShortest = 11;

// Empty when `value` is acceptable as `field`; otherwise why not (ASCII, for the refusal answer).
std::string CheckField(Field field, std::string_view value);

// True when `link` is a web address the program may open: see above.
bool IsWebLink(std::string_view link);

// True when every byte of 0x81..0xFE starts a two-byte GBK character whose second byte is a valid
// trail byte (0x40..0xFE without 0x7F), and neither 0x80, 0xFF nor a zero byte stands alone.
bool IsWholeGbk(std::string_view value);

}  // namespace yz::server
