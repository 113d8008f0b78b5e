#include "app/hotkeys.h"

#include "ui/names.h"

namespace yz {

namespace {

constexpr int kNone = 0;
constexpr int kAlt = 4;

}  // namespace

const std::array<HotkeyDefinition, kHotkeyCount>& HotkeyTable() {
    using C = HotkeyCommand;
    static constexpr std::array<HotkeyDefinition, kHotkeyCount> table{{
        {C::kHide, 27, kNone},
        {C::kClearText, 46, kNone},
        {C::kNewDocument, 'A', kAlt},
        {C::kSaveDocument, 'S', kAlt},
        {C::kOpenDocument, 'D', kAlt},
        {C::kAppendDocument, 'F', kAlt},
        {C::kEncryptionPanel, 'Q', kAlt},
        {C::kShowcase, 'W', kAlt},
        {C::kChat, 'E', kAlt},
        {C::kReadAutoSave, 'R', kAlt},
        {C::kTransparency, 'T', kAlt},
        {C::kTextColour, 'Y', kAlt},
        {C::kFont, 'U', kAlt},
        {C::kRestoreDefaults, 'I', kAlt},
    }};
    return table;
}

HotkeyIdentifiers RegisterHotkeys(UiService& ui) {
    HotkeyIdentifiers identifiers{};
    for (std::size_t slot = 0; slot < kHotkeyCount; ++slot) {
        const HotkeyDefinition& key = HotkeyTable()[slot];
        identifiers[slot] = ui.RegisterGlobalHotKey(ui::kMainWindow, ui::标题标签, key.modifier, key.virtual_key);
    }
    return identifiers;
}

void DispatchHotkey(const HotkeyIdentifiers& identifiers,
                    int identifier,
                    const std::function<void(HotkeyCommand)>& run) {
    for (std::size_t slot = 0; slot < kHotkeyCount; ++slot) {
        if (identifiers[slot] != 0 && identifiers[slot] == identifier) {
            run(HotkeyTable()[slot].command);
        }
    }
}

}  // namespace yz
