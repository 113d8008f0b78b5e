#pragma once

// The program-wide values, made during start-up and kept until the end.

#include <array>

#include "app/hotkeys.h"
#include "runtime/types.h"

namespace yz {

struct ProgramValues {
    Text version_text;
    HotkeyIdentifiers hotkey_identifiers{};
    Text address_text;  // the writer's public address and location; empty when not fetched
    bool feedback_sent = false;
    std::array<TextList, 4> global_lists;  // filled by the showcase and the announcements
};

}  // namespace yz
