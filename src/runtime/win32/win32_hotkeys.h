#pragma once

// Global hotkeys: the program's modifier numbers as RegisterHotKey flags.

#include <windows.h>

namespace yz {

inline constexpr int kFirstHotKeyId = 33001;

// 0 none, 1 Ctrl, 2 Shift, 3 Ctrl+Shift, 4 Alt, 5 Ctrl+Alt, 6 Shift+Alt; any other number is
// passed on unchanged as flags.
UINT HotKeyModifierFlags(int modifier);

}  // namespace yz
