#pragma once

#include "runtime/ui_service.h"

namespace yz {

// The help menu's texts, each in a box with an OK button.
void ShowHideHelp(UiService& ui);
void ShowShortcutHelp(UiService& ui);
void ShowPublisherNotice(UiService& ui);

Text ShortcutHelpText();
Text PublisherNoticeText();

}  // namespace yz
