#include "runtime/headless/headless_keys.h"

namespace yz {

namespace {

// The punctuation keys of a US layout: the key, then the character without and with Shift.
struct PunctuationKey {
    int virtual_key;
    char plain;
    char shifted;
};

constexpr PunctuationKey kPunctuation[] = {
    {0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'},  {0xBD, '-', '_'}, {0xBE, '.', '>'},  {0xBF, '/', '?'},
    {0xC0, '`', '~'}, {0xDB, '[', '{'}, {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'},
};

constexpr char kShiftedDigits[] = ")!@#$%^&*(";

}  // namespace

int CharacterOfKey(int virtual_key, int modifiers) {
    const bool shift = (modifiers & vk::kShift) != 0;
    if ((modifiers & vk::kAlt) != 0) {
        return 0;
    }
    if ((modifiers & vk::kCtrl) != 0) {
        return virtual_key >= 'A' && virtual_key <= 'Z' ? virtual_key - 'A' + 1 : 0;
    }
    if (virtual_key >= 'A' && virtual_key <= 'Z') {
        return shift ? virtual_key : virtual_key - 'A' + 'a';
    }
    if (virtual_key >= '0' && virtual_key <= '9') {
        return shift ? kShiftedDigits[virtual_key - '0'] : virtual_key;
    }
    switch (virtual_key) {
        case vk::kSpace:
            return ' ';
        case vk::kReturn:
            return '\r';
        case vk::kBack:
            return '\b';
        case vk::kTab:
            return '\t';
        case vk::kEscape:
            return 0x1B;
        default:
            break;
    }
    for (const PunctuationKey& key : kPunctuation) {
        if (key.virtual_key == virtual_key) {
            return shift ? key.shifted : key.plain;
        }
    }
    return 0;
}

KeyStroke StrokeOfCharacter(unsigned char character) {
    if (character >= 'a' && character <= 'z') {
        return KeyStroke{character - 'a' + 'A', 0, character};
    }
    if (character >= 'A' && character <= 'Z') {
        return KeyStroke{character, vk::kShift, character};
    }
    if (character >= '0' && character <= '9') {
        return KeyStroke{character, 0, character};
    }
    for (int digit = 0; digit < 10; ++digit) {
        if (kShiftedDigits[digit] == character) {
            return KeyStroke{'0' + digit, vk::kShift, character};
        }
    }
    switch (character) {
        case ' ':
            return KeyStroke{vk::kSpace, 0, ' '};
        case '\r':
        case '\n':
            return KeyStroke{vk::kReturn, 0, '\r'};
        case '\b':
            return KeyStroke{vk::kBack, 0, '\b'};
        case '\t':
            return KeyStroke{vk::kTab, 0, '\t'};
        case 0x1B:
            return KeyStroke{vk::kEscape, 0, 0x1B};
        default:
            break;
    }
    for (const PunctuationKey& key : kPunctuation) {
        if (key.plain == static_cast<char>(character)) {
            return KeyStroke{key.virtual_key, 0, character};
        }
        if (key.shifted == static_cast<char>(character)) {
            return KeyStroke{key.virtual_key, vk::kShift, character};
        }
    }
    // A character no key makes reaches the control as a bare character.
    return KeyStroke{0, 0, character};
}

}  // namespace yz
