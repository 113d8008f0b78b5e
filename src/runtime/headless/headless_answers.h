#pragma once

// The answers a test queues before an action that opens something modal: message boxes, file and
// font dialogs, popup menus, the colour palette, and the writer's actions inside a modal window or
// the main event loop. Each kind is answered first in, first out.

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "runtime/headless/headless_records.h"

namespace yz {

class QueuedAnswers {
  public:
    using UserAction = std::function<void()>;

    std::deque<int> message_boxes;
    std::deque<std::optional<Text>> files;  // nullopt cancels
    std::deque<std::optional<FontChoice>> fonts;
    std::deque<std::optional<Text>> popup_picks;  // an entry caption; nullopt dismisses the menu
    std::deque<std::optional<Colour>> colours;
    std::deque<UserAction> user_actions;

    // One line per answer nobody asked for, for the end of a test.
    std::vector<Text> DescribeUnused() const;
    void Clear();
};

// The buttons of a message box by its flags: whether `result` is one of them, and the answer that
// does least (Cancel, No, or the only button) for a box nobody answered.
bool IsMessageBoxButton(int flags, int result);
int SafeMessageBoxResult(int flags);

}  // namespace yz
