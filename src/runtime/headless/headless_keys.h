#pragma once

// The virtual-key codes and modifier bits the headless desktop understands when a test plays the
// keyboard. Modifier bits are the ones key events carry: 1 Ctrl, 2 Shift, 4 Alt (8 Windows key,
// only for hotkeys); they are also the hotkey modifier numbers 0..7.

namespace yz::vk {

inline constexpr int kCtrl = 1;
inline constexpr int kShift = 2;
inline constexpr int kAlt = 4;
inline constexpr int kWin = 8;

inline constexpr int kBack = 0x08;
inline constexpr int kTab = 0x09;
inline constexpr int kReturn = 0x0D;
inline constexpr int kShiftKey = 0x10;
inline constexpr int kControlKey = 0x11;
inline constexpr int kAltKey = 0x12;
inline constexpr int kEscape = 0x1B;
inline constexpr int kSpace = 0x20;
inline constexpr int kEnd = 0x23;
inline constexpr int kHome = 0x24;
inline constexpr int kLeft = 0x25;
inline constexpr int kUp = 0x26;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
inline constexpr int kInsert = 0x2D;
inline constexpr int kDelete = 0x2E;
inline constexpr int kF1 = 0x70;
inline constexpr int kLeftShift = 0xA0;
inline constexpr int kRightShift = 0xA1;
inline constexpr int kLeftControl = 0xA2;
inline constexpr int kRightControl = 0xA3;
inline constexpr int kLeftAlt = 0xA4;
inline constexpr int kRightAlt = 0xA5;
// The key code an input method reports while it composes a double-byte character.
inline constexpr int kProcessKey = 0xE5;

// The modifier bit a modifier key sets while it is held; 0 for every other key.
constexpr int ModifierOfKey(int virtual_key) {
    switch (virtual_key) {
        case kControlKey:
        case kLeftControl:
        case kRightControl:
            return kCtrl;
        case kShiftKey:
        case kLeftShift:
        case kRightShift:
            return kShift;
        case kAltKey:
        case kLeftAlt:
        case kRightAlt:
            return kAlt;
        default:
            return 0;
    }
}

}  // namespace yz::vk

namespace yz {

// One key press as the desktop delivers it.
struct KeyStroke {
    int virtual_key = 0;
    int modifiers = 0;  // vk::kCtrl | vk::kShift | vk::kAlt
    int character = 0;  // what it types (a double-byte character as lead * 256 + trail); 0 none
};

// The character a key makes on a US keyboard layout with the modifiers held (Ctrl+letter gives
// its control code); 0 when it makes none.
int CharacterOfKey(int virtual_key, int modifiers);
// The key stroke that types one single-byte character.
KeyStroke StrokeOfCharacter(unsigned char character);

}  // namespace yz
