#pragma once

#include "runtime/ui_service.h"

namespace yz {

// Tells the writer that a file could not be written, naming it: a failed write is never shown as
// a success.
void ReportWriteFailure(UiService& ui, const Text& path);

}  // namespace yz
