#pragma once

// The program's four window templates.

#include "runtime/ui_template.h"

namespace yz::ui {

const WindowTemplate& BackdropWindowTemplate();
const WindowTemplate& MainWindowTemplate();
const WindowTemplate& AnnouncementWindowTemplate();
const WindowTemplate& FeedbackWindowTemplate();

}  // namespace yz::ui
