#pragma once

// The chat's word filter: a message that holds any of the banned words anywhere, in any letter
// case, is not sent.

#include <array>

#include "runtime/types.h"

namespace yz {

inline constexpr std::size_t kBannedWordCount = 38;

// The banned words in their checking order: 26 Chinese words of one or two characters (sexual
// terms and insults), 4 insult abbreviations in Latin capitals, 8 names of political figures.
const std::array<Text, kBannedWordCount>& BannedWords();

// The first banned word found in the text (ASCII letters in either case, on character
// boundaries), or an empty text when there is none.
Text FirstBannedWord(const Text& text);

}  // namespace yz
