#pragma once

// The notification-area icon's tooltip rule.

#include <string>

#include "runtime/types.h"

namespace yz {

inline constexpr int kTrayTooltipBytes = 62;

// The tooltip as shown: its first 62 GBK bytes, cut before a character that would not fit whole.
std::wstring TrayTooltip(const Text& tooltip);

}  // namespace yz
