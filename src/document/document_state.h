#pragma once

// The document state beside the editor text: the file the document was last created, opened or
// saved as, the paragraph count of the last statistics, and the line-break count that Enter and
// Backspace keep.

#include "runtime/types.h"

namespace yz {

struct DocumentState {
    Text current_path;
    // Only the number of elements of the last statistics split is ever read (by the Backspace
    // rule), so the count is kept instead of the paragraphs themselves.
    int paragraph_count = 0;
    int line_breaks = 0;
};

}  // namespace yz
