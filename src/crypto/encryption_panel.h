#pragma once

// The encryption panel laid over the editor: it turns the document captured when the panel was
// toggled into a .kkjx file in the program directory, or decrypts a chosen .kkjx file into a text
// that waits for the editor's next focus.

#include <functional>

#include "runtime/ui_service.h"

namespace yz {

class EncryptionPanel {
  public:
    // `return_operation` closes every panel of the main window; `replace_editor_text` puts a
    // decrypted text into the editor (keeping what the editor held first, see AutoSave).
    EncryptionPanel(UiService& ui,
                    std::function<void()> return_operation,
                    std::function<void(const Text&)> replace_editor_text);

    // Alt+Q, the menu entry and the hidden forced-decryption button: opens the panel when it is
    // closed and closes it (through the return operation) when it is open.
    void TogglePanel();
    bool IsOpen() const;

    void Encrypt();
    void Decrypt();
    void ChooseFile();
    void ShowPassword();

    // Editor got the focus: a pending decrypted text replaces the editor text, caret at the end.
    void DeliverPendingText();

  private:
    // Refusals and outcomes: OK-only boxes with the panel's captions.
    void TellEncryption(const Text& text);
    void TellDecryption(const Text& text);
    // After an encryption or a decryption: the editor back, the fields gone, the return button and
    // the hidden menu labels left for the return operation.
    void CloseFields();

    UiService& ui_;
    std::function<void()> return_operation_;
    std::function<void(const Text&)> replace_editor_text_;
    Text captured_document_;
    Text decrypted_text_;
    bool pending_ = false;
};

}  // namespace yz
