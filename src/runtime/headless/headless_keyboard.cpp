// The keyboard: hotkeys take their combinations first, then the focused control's key-down
// handler sees the key before it has any effect, then the character it makes, then the edit box
// acts on it; a handler answering false swallows the key and everything after it.

#include "runtime/headless/headless_desktop.h"
#include "runtime/headless/headless_scope.h"
#include "runtime/text.h"

namespace yz {

namespace {

constexpr int kCtrlC = 0x03;
constexpr int kCtrlV = 0x16;
constexpr int kCtrlX = 0x18;
constexpr int kCtrlZ = 0x1A;

bool IsClickKind(ControlKind kind) {
    return kind == ControlKind::kButton || kind == ControlKind::kPictureButton || kind == ControlKind::kCheckBox;
}

Text BytesOfCharacter(int character) {
    if (character > 0xFF) {
        return Text{static_cast<char>(character >> 8), static_cast<char>(character & 0xFF)};
    }
    return Text(1, static_cast<char>(character));
}

}  // namespace

bool HeadlessDesktop::TypeText(const ControlRef& ref, const Text& text) {
    ActionScope scope(*this);
    if (!FocusForTyping(ref)) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        KeyStroke key;
        if (byte == '\r' || byte == '\n') {
            i += byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 1 : 0;
            key = KeyStroke{vk::kReturn, 0, '\r'};
        } else if (IsGbkLeadByte(byte) && i + 1 < text.size()) {
            key = KeyStroke{vk::kProcessKey, 0, byte * 256 + static_cast<unsigned char>(text[++i])};
        } else {
            key = StrokeOfCharacter(byte);
        }
        DeliverKey(key);
    }
    return true;
}

bool HeadlessDesktop::PressKey(const ControlRef& ref, int virtual_key, int modifiers) {
    ActionScope scope(*this);
    if (!FocusForTyping(ref)) {
        return false;
    }
    DeliverKey(KeyStroke{virtual_key, modifiers, CharacterOfKey(virtual_key, modifiers)});
    return true;
}

bool HeadlessDesktop::PressKey(int virtual_key, int modifiers) {
    ActionScope scope(*this);
    const bool focused = !focus_.window.empty();
    DeliverKey(KeyStroke{virtual_key, modifiers, CharacterOfKey(virtual_key, modifiers)});
    return focused;
}

bool HeadlessDesktop::PressGlobalKey(int virtual_key, int modifiers) {
    ActionScope scope(*this);
    const bool ours = hot_keys_.Find(KeyModifiersToFlags(modifiers), virtual_key) != nullptr;
    TakeHotKey(KeyStroke{virtual_key, modifiers, 0});
    return ours;
}

bool HeadlessDesktop::TakeHotKey(const KeyStroke& key) {
    const int flags = KeyModifiersToFlags(key.modifiers);
    if (const RegisteredHotKey* hot_key = hot_keys_.Find(flags, key.virtual_key)) {
        const RegisteredHotKey taken = *hot_key;
        if (FindWindow(taken.watched_window) != nullptr && Exists(taken.receiver)) {
            Raise(taken.receiver, EventKind::kNotification, taken.id, 0);
        }
        return true;
    }
    return hot_keys_.IsTaken(flags, key.virtual_key);
}

void HeadlessDesktop::DeliverKey(const KeyStroke& key) {
    DeliverKeyDown(key);
    DeliverKeyUp(key);
}

void HeadlessDesktop::DeliverKeyDown(const KeyStroke& key) {
    if (TakeHotKey(key)) {
        return;
    }
    const ControlRef target = focus_;
    if (target.window.empty() || !AcceptsInput(target) ||
        !Raise(target, EventKind::kKeyDown, key.virtual_key, key.modifiers) || !AcceptsInput(target)) {
        return;
    }
    const ControlState* control = FindControl(target);
    const bool is_edit = control != nullptr && control->kind() == ControlKind::kEditBox;
    const bool wants_tab = is_edit && control->made_from.multi_line;
    if (key.virtual_key == vk::kTab && !wants_tab && (key.modifiers & (vk::kCtrl | vk::kAlt)) == 0) {
        MoveFocusInTabOrder((key.modifiers & vk::kShift) != 0);
        return;
    }
    if (is_edit) {
        ApplyKeyToEdit(target, key);
    }
    if (key.character == 0 || !Raise(target, EventKind::kCharacter, key.character) || !AcceptsInput(target)) {
        return;
    }
    if (is_edit) {
        ApplyCharacterToEdit(target, key.character);
    }
}

void HeadlessDesktop::DeliverKeyUp(const KeyStroke& key) {
    const ControlRef target = focus_;
    if (target.window.empty() || !AcceptsInput(target) ||
        !Raise(target, EventKind::kKeyUp, key.virtual_key, key.modifiers)) {
        return;
    }
    const ControlState* control = FindControl(target);
    if (key.virtual_key == vk::kSpace && key.modifiers == 0 && control != nullptr && IsClickKind(control->kind()) &&
        AcceptsInput(target)) {
        ApplyClick(target);
    }
}

void HeadlessDesktop::ChangeEdit(const ControlRef& ref, const std::function<bool(EditBuffer&)>& change) {
    ControlState* control = FindControl(ref);
    if (control != nullptr && change(control->edit)) {
        Raise(ref, EventKind::kContentChanged);
    }
}

void HeadlessDesktop::ApplyKeyToEdit(const ControlRef& ref, const KeyStroke& key) {
    ControlState* control = FindControl(ref);
    const bool read_only = control->input_mode == kInputReadOnly;
    const bool masked = control->input_mode == kInputMasked;
    const bool shift = (key.modifiers & vk::kShift) != 0;
    const bool ctrl = (key.modifiers & vk::kCtrl) != 0;
    EditBuffer& edit = control->edit;
    switch (key.virtual_key) {
        case vk::kLeft:
            edit.MoveLeft(shift);
            return;
        case vk::kRight:
            edit.MoveRight(shift);
            return;
        case vk::kHome:
            edit.MoveHome(shift, ctrl || !control->made_from.multi_line);
            return;
        case vk::kEnd:
            edit.MoveEnd(shift, ctrl || !control->made_from.multi_line);
            return;
        case vk::kInsert:
            if (ctrl && !masked && edit.SelectionStart() != edit.SelectionEnd()) {
                clipboard_ = edit.SelectedText();
            } else if (shift && !read_only) {
                ApplyCharacterToEdit(ref, kCtrlV);
            }
            return;
        case vk::kDelete:
            if (shift) {
                ApplyCharacterToEdit(ref, kCtrlX);
            } else if (!read_only) {
                ChangeEdit(ref, [](EditBuffer& buffer) { return buffer.DeleteForward(); });
            }
            return;
        default:
            return;
    }
}

void HeadlessDesktop::ApplyCharacterToEdit(const ControlRef& ref, int character) {
    const ControlState* control = FindControl(ref);
    const bool read_only = control->input_mode == kInputReadOnly;
    const bool masked = control->input_mode == kInputMasked;
    const bool multi_line = control->made_from.multi_line;
    const bool has_selection = control->edit.SelectionStart() != control->edit.SelectionEnd();
    switch (character) {
        case kCtrlC:
            if (!masked && has_selection) {
                clipboard_ = control->edit.SelectedText();
            }
            return;
        case kCtrlX:
            if (!masked && !read_only && has_selection) {
                clipboard_ = control->edit.SelectedText();
                ChangeEdit(ref, [](EditBuffer& buffer) { return buffer.DeleteSelection(); });
            }
            return;
        case kCtrlV:
            if (!read_only) {
                // A single-line box takes the clipboard up to its first line break.
                const Text pasted = multi_line ? clipboard_ : clipboard_.substr(0, clipboard_.find_first_of("\r\n"));
                ChangeEdit(ref, [&](EditBuffer& buffer) { return buffer.Paste(pasted); });
            }
            return;
        case kCtrlZ:
            if (!read_only) {
                ChangeEdit(ref, [](EditBuffer& buffer) { return buffer.Undo(); });
            }
            return;
        case '\b':
            if (!read_only) {
                ChangeEdit(ref, [](EditBuffer& buffer) { return buffer.Backspace(); });
            }
            return;
        case '\r':
        case '\t':
            if (!read_only && multi_line) {
                const Text typed = character == '\r' ? "\r\n" : "\t";
                ChangeEdit(ref, [&](EditBuffer& buffer) { return buffer.Type(typed); });
            }
            return;
        default:
            if (!read_only && character >= 0x20 && character != 0x7F) {
                const Text typed = BytesOfCharacter(character);
                ChangeEdit(ref, [&](EditBuffer& buffer) { return buffer.Type(typed); });
            }
            return;
    }
}

void HeadlessDesktop::EditAppend(const ControlRef& ref, const Text& text) {
    ActionScope scope(*this);
    ControlState* control = FindControl(ref);
    if (control == nullptr || control->kind() != ControlKind::kEditBox) {
        return;
    }
    // Inserting at the end as the selection's replacement is held to the limit, as typing is.
    ChangeEdit(ref, [&](EditBuffer& buffer) { return buffer.Append(text); });
}

std::string_view HeadlessDesktop::EditText(const ControlRef& ref) const {
    const ControlState* control = FindControl(ref);
    if (control == nullptr || control->kind() != ControlKind::kEditBox) {
        return {};
    }
    return control->edit.text();
}

bool HeadlessDesktop::SelectEditText(const ControlRef& ref, int anchor, int caret) {
    ActionScope scope(*this);
    ControlState* control = FindControl(ref);
    if (control == nullptr || control->kind() != ControlKind::kEditBox || !AcceptsInput(ref)) {
        return false;
    }
    control->edit.Select(anchor, caret);
    return true;
}

void HeadlessDesktop::SimulateKeys(std::initializer_list<int> virtual_keys) {
    ActionScope scope(*this);
    std::vector<int> keys(virtual_keys);
    simulated_keys_.push_back(keys);
    // Injected input queues behind the message being handled, as the system's input queue does.
    Post([this, keys] { RunSimulatedKeys(keys); });
}

void HeadlessDesktop::RunSimulatedKeys(const std::vector<int>& keys) {
    for (const int key : keys) {
        held_modifiers_ |= vk::ModifierOfKey(key);
        const int character = vk::ModifierOfKey(key) != 0 ? 0 : CharacterOfKey(key, held_modifiers_);
        DeliverKeyDown(KeyStroke{key, held_modifiers_, character});
    }
    for (const int key : keys) {
        DeliverKeyUp(KeyStroke{key, held_modifiers_, 0});
        held_modifiers_ &= ~vk::ModifierOfKey(key);
    }
}

std::pair<int, int> HeadlessDesktop::EditSelection(const ControlRef& ref) const {
    const ControlState* control = FindControl(ref);
    return control == nullptr ? std::pair<int, int>{0, 0}
                              : std::pair<int, int>{control->edit.SelectionStart(), control->edit.SelectionEnd()};
}

int HeadlessDesktop::EditCaret(const ControlRef& ref) const {
    const ControlState* control = FindControl(ref);
    return control == nullptr ? 0 : control->edit.caret();
}

}  // namespace yz
