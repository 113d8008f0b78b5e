#include "runtime/headless/headless_hotkeys.h"

namespace yz {

int ModifierNumberToFlags(int number) {
    switch (number) {
        case 0:
            return 0;
        case 1:
            return kModControl;
        case 2:
            return kModShift;
        case 3:
            return kModControl | kModShift;
        case 4:
            return kModAlt;
        case 5:
            return kModControl | kModAlt;
        case 6:
            return kModShift | kModAlt;
        default:
            return number;
    }
}

int KeyModifiersToFlags(int modifiers) {
    int flags = 0;
    flags |= (modifiers & 1) != 0 ? kModControl : 0;
    flags |= (modifiers & 2) != 0 ? kModShift : 0;
    flags |= (modifiers & 4) != 0 ? kModAlt : 0;
    flags |= (modifiers & 8) != 0 ? kModWin : 0;
    return flags;
}

int HotKeyRegistry::Register(const Text& watched_window,
                             bool window_exists,
                             const ControlRef& receiver,
                             int modifier_number,
                             int virtual_key) {
    ++calls_;
    const int id = kFirstIdentifier - 1 + calls_;
    const int flags = ModifierNumberToFlags(modifier_number);
    if (!window_exists || IsTaken(flags, virtual_key)) {
        return 0;
    }
    keys_.push_back(RegisteredHotKey{id, watched_window, receiver, flags, virtual_key});
    return id;
}

const RegisteredHotKey* HotKeyRegistry::Find(int flags, int virtual_key) const {
    for (const RegisteredHotKey& key : keys_) {
        if (key.flags == flags && key.virtual_key == virtual_key) {
            return &key;
        }
    }
    return nullptr;
}

bool HotKeyRegistry::IsTaken(int flags, int virtual_key) const {
    return Find(flags, virtual_key) != nullptr || others_.count({flags, virtual_key}) != 0;
}

void HotKeyRegistry::ClaimForOtherProgram(int flags, int virtual_key) {
    others_.insert({flags, virtual_key});
}

void HotKeyRegistry::ReleaseForOtherProgram(int flags, int virtual_key) {
    others_.erase({flags, virtual_key});
}

void HotKeyRegistry::DropWindow(const Text& window) {
    std::erase_if(keys_, [&](const RegisteredHotKey& key) { return key.watched_window == window; });
}

}  // namespace yz
