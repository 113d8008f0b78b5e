#pragma once

// The paragraph auto-save and its restore.
//
// Auto-save file: ProgramDirectory() + "\砚舟文匣自动存档", the editor text's bytes under RC4 with
// the key "pwtm3842vbnshd1795pwtm", exactly as long as the text, no header. Each save replaces it
// whole. It is where text typed without a document file survives a crash.

#include "document/document_state.h"
#include "runtime/ui_service.h"

namespace yz {

Text AutoSaveFilePath();
inline constexpr char kAutoSaveKey[] = "pwtm3842vbnshd1795pwtm";

class AutoSave {
  public:
    AutoSave(UiService& ui, DocumentState& state);

    // Saves the editor text to the current document file, or, without one (or with an empty
    // editor), encrypted to the auto-save file. An empty editor leaves an existing auto-save file
    // alone: it may hold the writer's only copy of unsaved text. False when a write failed (the
    // writer has been told).
    bool SaveParagraph();

    // Replaces the editor text with the decrypted auto-save file; a missing or empty file leaves
    // the editor as it is (a stray Alt+R in another program costs nothing). The text replaced is
    // first written into the current document file, if any, and the path is then cleared, so no
    // later save puts the restored text over another document.
    void ReadAutoSave();

    // Puts a text from elsewhere (a decrypted document) into the editor: the text there first goes
    // through the paragraph auto-save, and the document path is cleared afterwards. False, and the
    // editor untouched, when that save failed.
    bool ReplaceEditorText(const Text& text);

    // The help text of the help menu.
    void ShowHelp();

  private:
    UiService& ui_;
    DocumentState& state_;
};

}  // namespace yz
