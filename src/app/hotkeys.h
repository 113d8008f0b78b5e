#pragma once

// The fourteen global hotkeys in their registration order, and the dispatch of a pressed one to
// its command.

#include <array>
#include <functional>

#include "runtime/ui_service.h"

namespace yz {

enum class HotkeyCommand {
    kHide,
    kClearText,
    kNewDocument,
    kSaveDocument,
    kOpenDocument,
    kAppendDocument,
    kEncryptionPanel,
    kShowcase,
    kChat,
    kReadAutoSave,
    kTransparency,
    kTextColour,
    kFont,
    kRestoreDefaults,
};

struct HotkeyDefinition {
    HotkeyCommand command;
    int virtual_key;
    int modifier;  // the registration's modifier number: 0 none, 4 Alt
};

inline constexpr std::size_t kHotkeyCount = 14;
const std::array<HotkeyDefinition, kHotkeyCount>& HotkeyTable();

// The identifier the system gave each slot, 0 where the registration failed.
using HotkeyIdentifiers = std::array<int, kHotkeyCount>;

// Registers every hotkey in table order, watching the main window, with the status line as the
// receiver of the notifications.
HotkeyIdentifiers RegisterHotkeys(UiService& ui);

// Runs the command of every slot whose identifier equals `identifier` (at most one; a failed
// slot holds 0, which no identifier equals). Commands without a runner do nothing.
void DispatchHotkey(const HotkeyIdentifiers& identifiers,
                    int identifier,
                    const std::function<void(HotkeyCommand)>& run);

}  // namespace yz
