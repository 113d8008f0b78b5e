#pragma once

// Keyboard shortcuts of menu entries as accelerator table rows.

#include <windows.h>

#include <optional>

#include "runtime/types.h"

namespace yz {

// "Ctrl+Z", "Ctrl+Shift+S", "Alt+X", "F5", "Del": modifiers Ctrl, Shift and Alt in any order and
// case, then one key (a letter, a digit, F1..F24, Del/Delete, Ins/Insert, Home, End, PgUp/PageUp,
// PgDn/PageDown, Enter, Esc, Tab, Space, Backspace, Up, Down, Left, Right). The row's command is
// left 0. Nullopt when the text is not such a shortcut.
std::optional<ACCEL> ParseShortcut(const Text& shortcut);

}  // namespace yz
