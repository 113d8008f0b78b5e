#pragma once

// New, open, add and save of plain-text documents through the common dialog, the document-changed
// test and the exit check. A document file is the editor's bytes exactly (GBK, CR LF), read up to
// its first zero byte.

#include "document/auto_save.h"
#include "document/document_state.h"
#include "runtime/ui_service.h"

namespace yz {

// True when `editor_text` is not empty and differs from the text of the file at `path` (no file,
// an empty path or a read failure give an empty file text).
bool DocumentChanged(const Text& editor_text, const Text& path);

class DocumentFiles {
  public:
    DocumentFiles(UiService& ui, DocumentState& state, AutoSave& auto_save);

    void NewDocument();
    void OpenDocument();
    void AppendDocument();
    // True when the document was written.
    bool SaveDocument();

    // Run on a close request: asks, saves when asked to, and ends the program with code 0 unless
    // the writer backs out. Answers false to keep the program running (No to the exit question,
    // or a save that was cancelled or failed).
    bool ExitCheck();

  private:
    // Shows the common dialog of `kind` on the program directory; the chosen path, or empty.
    Text ChooseFile(int kind);

    UiService& ui_;
    DocumentState& state_;
    AutoSave& auto_save_;
};

}  // namespace yz
