#pragma once

// The editor 主编框 and its state: the statistics line on every change, the line-break count kept
// by Enter and Backspace, clear text and the four edit commands.

#include <functional>

#include "document/document_state.h"
#include "runtime/ui_service.h"

namespace yz {

class DocumentEditor {
  public:
    // `paragraph_save` runs on Enter, after the count and before the line break enters the text.
    DocumentEditor(UiService& ui, DocumentState& state, std::function<void()> paragraph_save);

    // Content changed: recount and write the statistics line.
    void UpdateStatistics();
    // Key down: false would swallow the key; every key goes on into the editor.
    bool OnKeyDown(int virtual_key);

    // Asks first; Yes empties the editor, the paragraph count, the line-break count and the
    // paragraph list box. The document path stays.
    void ClearText();

    // Each injects Ctrl with the letter; the control with the focus does the work.
    void Undo();
    void Cut();
    void Copy();
    void Paste();

  private:
    UiService& ui_;
    DocumentState& state_;
    std::function<void()> paragraph_save_;
};

}  // namespace yz
