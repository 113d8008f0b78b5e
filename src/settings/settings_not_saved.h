#pragma once

#include "runtime/ui_service.h"

namespace yz {

// Tells the writer that a changed look could not be stored in the configuration file: it shows now
// but is gone at the next start. A failed write is never shown as a success.
void ReportSettingsNotSaved(UiService& ui);

}  // namespace yz
