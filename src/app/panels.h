#pragma once

#include "runtime/ui_service.h"

namespace yz {

// The return operation: closes every panel of the main window (encryption, showcase, chat,
// transparency) and gives the editor back, enabled, in normal input mode, with the focus. The
// close label, the author list, the operator console and the status line are not touched.
void ReturnOperation(UiService& ui);

}  // namespace yz
