#include "runtime/headless/headless_answers.h"

#include "runtime/convert.h"

namespace yz {

namespace {

// The button set is the low four bits of the flags, as MB_OK .. MB_RETRYCANCEL number them.
std::vector<int> ButtonsOf(int flags) {
    switch (flags & 0xF) {
        case 1:
            return {kResultOk, kResultCancel};
        case 2:
            return {kResultAbort, kResultRetry, kResultIgnore};
        case 3:
            return {kResultYes, kResultNo, kResultCancel};
        case 4:
            return {kResultYes, kResultNo};
        case 5:
            return {kResultRetry, kResultCancel};
        default:
            return {kResultOk};
    }
}

}  // namespace

bool IsMessageBoxButton(int flags, int result) {
    for (const int button : ButtonsOf(flags)) {
        if (button == result) {
            return true;
        }
    }
    return false;
}

int SafeMessageBoxResult(int flags) {
    switch (flags & 0xF) {
        case 1:
        case 3:
        case 5:
            return kResultCancel;
        case 2:
            return kResultAbort;
        case 4:
            return kResultNo;
        default:
            return kResultOk;
    }
}

std::vector<Text> QueuedAnswers::DescribeUnused() const {
    std::vector<Text> unused;
    for (const int answer : message_boxes) {
        unused.push_back("message box answer " + ToText(answer) + " was never asked for");
    }
    for (const auto& file : files) {
        unused.push_back("file dialog answer " + (file ? "\"" + *file + "\"" : Text("(cancel)")) +
                         " was never asked for");
    }
    for (const auto& font : fonts) {
        unused.push_back("font dialog answer " + (font ? font->face : Text("(cancel)")) + " was never asked for");
    }
    for (const auto& pick : popup_picks) {
        unused.push_back("popup menu pick " + (pick ? "\"" + *pick + "\"" : Text("(dismiss)")) +
                         " was never asked for");
    }
    for (const auto& colour : colours) {
        unused.push_back("colour pick " + (colour ? ToText(*colour) : Text("(cancel)")) + " was never asked for");
    }
    if (!user_actions.empty()) {
        unused.push_back(ToText(user_actions.size()) + " queued user action(s) never ran");
    }
    return unused;
}

void QueuedAnswers::Clear() {
    message_boxes.clear();
    files.clear();
    fonts.clear();
    popup_picks.clear();
    colours.clear();
    user_actions.clear();
}

}  // namespace yz
