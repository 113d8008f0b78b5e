// Everything that would wait for the writer inside a nested loop: message boxes, common dialogs,
// popup menus, the colour palette and modal windows. Each takes the answer the test queued for
// it; with none, it is reported and given the answer that does least. Each nested loop first runs
// the work posted before it, as a real modal loop would.

#include <algorithm>

#include "runtime/convert.h"
#include "runtime/file_dialog_names.h"
#include "runtime/headless/headless_desktop.h"
#include "runtime/headless/headless_scope.h"

namespace yz {

namespace {

constexpr int kLeftButtonUpMessage = 0x0202;
constexpr int kSetCurrentPageMessage = 0x130C;  // TCM_SETCURSEL

Text Quoted(const Text& text) {
    return "\"" + text + "\"";
}

Text Describe(const ControlRef& ref) {
    return Quoted(ref.window + (ref.control.empty() ? Text() : "." + ref.control));
}

}  // namespace

int HeadlessDesktop::MessageBox(const Text& text, int flags, const Text& caption) {
    ActionScope scope(*this);
    const int shown = (flags & kMbSystemModal) != 0 ? flags : flags | kMbTaskModal;
    message_boxes_.push_back(MessageBoxRecord{text, shown, caption});
    DrainPosted();
    const Text which = "message box " + Quoted(caption) + ": " + Quoted(text);
    if (answers_.message_boxes.empty()) {
        ReportProblem("nobody answered the " + which);
        return SafeMessageBoxResult(flags);
    }
    const int answer = answers_.message_boxes.front();
    answers_.message_boxes.pop_front();
    if (!IsMessageBoxButton(flags, answer)) {
        ReportProblem("answer " + ToText(answer) + " is no button of the " + which);
        return SafeMessageBoxResult(flags);
    }
    return answer;
}

bool HeadlessDesktop::ShowFileDialog(const ControlRef& dialog) {
    ActionScope scope(*this);
    const ControlState* control = FindControl(dialog);
    if (control == nullptr || control->kind() != ControlKind::kCommonDialog) {
        return false;
    }
    dialogs_.push_back(DialogRecord{dialog, control->dialog_kind, FileDialogStartName(control->file_name),
                                    control->filter, control->initial_directory, control->default_extension});
    const bool font_dialog = control->dialog_kind == kDialogFont;
    DrainPosted();
    if (font_dialog) {
        if (answers_.fonts.empty()) {
            ReportProblem("nobody answered the font dialog " + Describe(dialog));
            return false;
        }
        const std::optional<FontChoice> font = answers_.fonts.front();
        answers_.fonts.pop_front();
        ControlState* state = FindControl(dialog);
        if (!font || state == nullptr) {
            return false;
        }
        state->font = *font;
        return true;
    }
    if (answers_.files.empty()) {
        ReportProblem("nobody answered the file dialog " + Describe(dialog) + " filter " +
                      Quoted(dialogs_.back().filter));
        return false;
    }
    const std::optional<Text> file = answers_.files.front();
    answers_.files.pop_front();
    ControlState* state = FindControl(dialog);
    if (!file || state == nullptr) {
        return false;
    }
    state->file_name = WithDefaultExtension(*file, state->default_extension);
    return true;
}

void HeadlessDesktop::PopupMenu(const Text& window, const Text& menu, std::optional<int> x, std::optional<int> y) {
    ActionScope scope(*this);
    const WindowState* state = FindWindow(window);
    if (state == nullptr) {
        return;
    }
    const std::vector<MenuEntry>& menus = state->made_from.menus;
    auto top = std::find_if(menus.begin(), menus.end(),
                            [&](const MenuEntry& entry) { return entry.level == 0 && entry.caption == menu; });
    if (top == menus.end()) {
        ReportProblem("window " + Quoted(window) + " has no menu " + Quoted(menu) + " to pop up");
        return;
    }
    std::vector<MenuEntry> entries;
    for (auto entry = top + 1; entry != menus.end() && entry->level > 0; ++entry) {
        entries.push_back(*entry);
    }
    popups_.push_back(PopupRecord{window, menu, x.value_or(cursor_x_ + 3), y.value_or(cursor_y_ + 3)});
    DrainPosted();
    if (answers_.popup_picks.empty()) {
        ReportProblem("nobody picked from the popup menu " + Quoted(menu) + " of " + Quoted(window));
        return;
    }
    const std::optional<Text> pick = answers_.popup_picks.front();
    answers_.popup_picks.pop_front();
    if (!pick) {
        return;
    }
    const auto picked = std::find_if(entries.begin(), entries.end(), [&](const MenuEntry& entry) {
        return entry.caption == *pick && entry.caption != "-" && !entry.hidden && !entry.disabled;
    });
    if (picked == entries.end()) {
        ReportProblem("the popup menu " + Quoted(menu) + " has no entry " + Quoted(*pick) + " to pick");
        return;
    }
    const auto handler = menu_handlers_.find({window, *pick});
    if (handler != menu_handlers_.end()) {
        RunMenuHandler(handler->second);
    }
}

bool HeadlessDesktop::PickMenuItem(const Text& window, const Text& caption) {
    ActionScope scope(*this);
    const WindowState* state = FindWindow(window);
    if (state == nullptr || !AcceptsInput({window, {}})) {
        return false;
    }
    const std::vector<MenuEntry>& menus = state->made_from.menus;
    const bool usable = std::any_of(menus.begin(), menus.end(), [&](const MenuEntry& entry) {
        return entry.level > 0 && entry.caption == caption && caption != "-" && !entry.hidden && !entry.disabled;
    });
    if (!usable) {
        return false;
    }
    const auto handler = menu_handlers_.find({window, caption});
    if (handler != menu_handlers_.end()) {
        RunMenuHandler(handler->second);
    }
    return true;
}

std::int64_t HeadlessDesktop::SendUnitMessage(const ControlRef& ref, int message, std::int64_t wparam, std::int64_t) {
    ActionScope scope(*this);
    const ControlState* control = FindControl(ref);
    if (control != nullptr && control->kind() == ControlKind::kColourPicker && message == kLeftButtonUpMessage) {
        OpenColourPalette(ref);
    }
    if (control != nullptr && control->kind() == ControlKind::kTabControl && message == kSetCurrentPageMessage &&
        wparam >= 0 && wparam < static_cast<std::int64_t>(control->page_captions.size())) {
        ShowTabPage(*FindWindow(ref.window), ref.control, static_cast<int>(wparam));
        FocusAfterHiding();
    }
    return 0;
}

void HeadlessDesktop::OpenColourPalette(const ControlRef& picker) {
    DrainPosted();
    if (answers_.colours.empty()) {
        ReportProblem("nobody picked from the colour palette of " + Describe(picker));
        return;
    }
    const std::optional<Colour> colour = answers_.colours.front();
    answers_.colours.pop_front();
    ControlState* control = FindControl(picker);
    if (!colour || control == nullptr) {
        return;
    }
    control->colour = *colour;
    Raise(picker, EventKind::kColourChosen, *colour);
}

void HeadlessDesktop::RunModalLoop(const Text& window) {
    while (FindWindow(window) != nullptr) {
        DrainPosted();
        if (FindWindow(window) == nullptr) {
            return;
        }
        if (answers_.user_actions.empty()) {
            ReportProblem("the modal window " + Quoted(window) + " was left open: no queued user action closed it");
            DestroyWindow(window);
            return;
        }
        const UserAction action = std::move(answers_.user_actions.front());
        answers_.user_actions.pop_front();
        action();
    }
}

int HeadlessDesktop::RunMessageLoop() {
    ActionScope scope(*this);
    while (!ended_) {
        DrainPosted();
        if (ended_ || answers_.user_actions.empty()) {
            break;
        }
        const UserAction action = std::move(answers_.user_actions.front());
        answers_.user_actions.pop_front();
        action();
    }
    return ended_ ? exit_code_ : 0;
}

}  // namespace yz
