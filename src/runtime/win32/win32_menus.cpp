// Menus: the template's entries drop as popup menus (there is no menu bar) and their shortcuts
// are the window's accelerator table. An entry's command is kFirstMenuCommand plus its index.

#include "runtime/win32/win32_menus.h"

#include "runtime/wide_win32.h"
#include "runtime/win32/win32_desktop.h"

namespace yz {

namespace {

Text LowerTrimmed(const Text& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == Text::npos) {
        return {};
    }
    Text part = text.substr(first, text.find_last_not_of(' ') - first + 1);
    for (char& ch : part) {
        if (ch >= 'A' && ch <= 'Z') {
            ch = static_cast<char>(ch - 'A' + 'a');
        }
    }
    return part;
}

std::optional<WORD> KeyByName(const Text& name) {
    if (name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= '0' && name[0] <= '9'))) {
        return static_cast<WORD>(name[0] >= 'a' ? name[0] - 'a' + 'A' : name[0]);
    }
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'f' &&
        name.find_first_not_of("0123456789", 1) == Text::npos) {
        int number = 0;
        for (std::size_t i = 1; i < name.size(); ++i) {
            number = number * 10 + (name[i] - '0');
        }
        if (number >= 1 && number <= 24) {
            return static_cast<WORD>(VK_F1 + number - 1);
        }
        return std::nullopt;
    }
    static const struct {
        const char* name;
        WORD key;
    } kNamed[] = {
        {"del", VK_DELETE}, {"delete", VK_DELETE}, {"ins", VK_INSERT},     {"insert", VK_INSERT},
        {"home", VK_HOME},  {"end", VK_END},       {"pgup", VK_PRIOR},     {"pageup", VK_PRIOR},
        {"pgdn", VK_NEXT},  {"pagedown", VK_NEXT}, {"enter", VK_RETURN},   {"esc", VK_ESCAPE},
        {"tab", VK_TAB},    {"space", VK_SPACE},   {"backspace", VK_BACK}, {"up", VK_UP},
        {"down", VK_DOWN},  {"left", VK_LEFT},     {"right", VK_RIGHT},
    };
    for (const auto& named : kNamed) {
        if (name == named.name) {
            return named.key;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<ACCEL> ParseShortcut(const Text& shortcut) {
    ACCEL accel{};
    accel.fVirt = FVIRTKEY;
    std::size_t start = 0;
    while (true) {
        const std::size_t plus = shortcut.find('+', start);
        const Text part = LowerTrimmed(shortcut.substr(start, plus == Text::npos ? Text::npos : plus - start));
        if (plus == Text::npos) {
            const auto key = KeyByName(part);
            if (!key) {
                return std::nullopt;
            }
            accel.key = *key;
            return accel;
        }
        if (part == "ctrl" || part == "control") {
            accel.fVirt |= FCONTROL;
        } else if (part == "shift") {
            accel.fVirt |= FSHIFT;
        } else if (part == "alt") {
            accel.fVirt |= FALT;
        } else {
            return std::nullopt;
        }
        start = plus + 1;
    }
}

void Win32Desktop::BuildAccelerators(WindowState* window) {
    std::vector<ACCEL> rows;
    for (std::size_t i = 0; i < window->menus.size(); ++i) {
        if (auto row = ParseShortcut(window->menus[i].shortcut)) {
            row->cmd = static_cast<WORD>(kFirstMenuCommand + i);
            rows.push_back(*row);
        }
    }
    if (!rows.empty()) {
        window->accelerators = CreateAcceleratorTableW(rows.data(), static_cast<int>(rows.size()));
    }
}

HMENU Win32Desktop::BuildMenu(const WindowState* window, std::size_t* index, int level) const {
    HMENU menu = CreatePopupMenu();
    const auto& menus = window->menus;
    while (*index < menus.size() && menus[*index].level >= level) {
        const std::size_t at = (*index)++;
        const MenuEntry& entry = menus[at];
        if (entry.level > level) {
            continue;  // deeper than its place allows: no item to hang from
        }
        HMENU submenu = nullptr;
        if (*index < menus.size() && menus[*index].level > level) {
            submenu = BuildMenu(window, index, level + 1);
        }
        if (entry.hidden || entry.caption == "-") {
            if (submenu != nullptr) {
                DestroyMenu(submenu);
            }
            if (!entry.hidden) {
                AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            }
            continue;
        }
        std::wstring caption = WideFromGbk(entry.caption);
        if (!entry.shortcut.empty()) {
            caption += L"\t" + WideFromGbk(entry.shortcut);
        }
        const UINT flags = MF_STRING | (entry.disabled ? MF_GRAYED : 0) | (entry.checked ? MF_CHECKED : 0);
        if (submenu != nullptr) {
            AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), caption.c_str());
        } else {
            AppendMenuW(menu, flags, kFirstMenuCommand + at, caption.c_str());
        }
    }
    return menu;
}

void Win32Desktop::PopupMenu(const Text& window_name, const Text& menu, std::optional<int> x, std::optional<int> y) {
    WindowState* window = FindWindowState(window_name);
    if (window == nullptr) {
        return;
    }
    std::size_t index = 0;
    while (index < window->menus.size() && !(window->menus[index].level == 0 && window->menus[index].caption == menu)) {
        ++index;
    }
    if (index == window->menus.size()) {
        return;
    }
    ++index;
    HMENU popup = BuildMenu(window, &index, 1);
    POINT cursor{};
    GetCursorPos(&cursor);
    const int left = x.value_or(cursor.x + 3);
    const int top = y.value_or(cursor.y + 3);
    HWND hwnd = window->hwnd;
    // Without the foreground the menu would not close when the writer clicks elsewhere.
    SetForegroundWindow(hwnd);
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, left, top,
                       0, hwnd, nullptr));
    PostMessageW(hwnd, WM_NULL, 0, 0);
    DestroyMenu(popup);
    if (command != 0 && FindWindowState(window_name) == window) {
        RunMenuCommand(window, command);
    }
}

void Win32Desktop::RunMenuCommand(WindowState* window, UINT command) {
    if (command < kFirstMenuCommand || command - kFirstMenuCommand >= window->menus.size()) {
        return;
    }
    // A disabled entry does nothing, from its menu or its shortcut alike.
    const MenuEntry& entry = window->menus[command - kFirstMenuCommand];
    if (entry.disabled || entry.caption == "-") {
        return;
    }
    const auto found = menu_handlers_.find({window->tmpl.name, entry.caption});
    if (found == menu_handlers_.end() || !found->second) {
        return;
    }
    const MenuHandler handler = found->second;
    RunHandler([&] {
        handler();
        return true;
    });
}

}  // namespace yz
