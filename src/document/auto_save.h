#pragma once

// The paragraph auto-save and its restore.
//
// Auto-save file: ProgramDirectory() + "\砚舟文匣自动存档", the editor text's bytes under RC4 with
// the key "pwtm3842vbnshd1795pwtm", exactly as long as the text, no header. Each save replaces it
// whole. It is where text typed without a document file survives a crash.

#include "document/document_state.h"
#include "document/text_rescue.h"
#include "runtime/ui_service.h"

namespace yz {

Text AutoSaveFilePath();
inline constexpr char kAutoSaveKey[] = "pwtm3842vbnshd1795pwtm";

class AutoSave {
  public:
    AutoSave(UiService& ui, DocumentState& state, TextRescue& rescue);

    // Saves the editor text to the current document file, or, without one (or with an empty
    // editor), encrypted to the auto-save file. An empty editor leaves an existing auto-save file
    // alone: it may hold the writer's only copy of unsaved text. False when a write failed (the
    // writer has been told).
    bool SaveParagraph();

    // Replaces the editor text with the decrypted auto-save file, which stays as it is; a missing
    // or empty file leaves the editor as it is (a stray Alt+R in another program costs nothing).
    // The text replaced is kept as ReplaceEditorText keeps it.
    void ReadAutoSave();

    // Puts a text from elsewhere (the auto-save, a decrypted document) into the editor. The text
    // there is kept first: written into the current document file when there is one, otherwise
    // copied into a rescue file (TextRescue). The document path is cleared afterwards, so no later
    // save puts the new text over another document. False, and the editor untouched, when the
    // text could not be kept.
    bool ReplaceEditorText(const Text& text);

    // The help text of the help menu.
    void ShowHelp();

  private:
    UiService& ui_;
    DocumentState& state_;
    TextRescue& rescue_;
};

}  // namespace yz
