#pragma once

// The text of an edit control as GBK, kept beside the control. Reading a large text back and
// converting all of it after every typed character costs more than the character itself, so a
// character the control is about to insert is noted before it arrives and, when the control
// announces its change (EN_CHANGE) with the length that character gives, applied to the copy.
// Any other change, or one that does not add up, makes the next read take the whole text again.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

#include "runtime/types.h"

namespace yz {

class EditTextMirror {
  public:
    // Before WM_CHAR reaches the control: the change the character makes when it is typed.
    void ExpectCharacter(HWND edit, wchar_t character);
    // After the control has handled that message, whether it changed the text or not.
    void EndCharacter() { expected_.reset(); }
    // EN_CHANGE.
    void OnChanged(HWND edit);
    // A change the control does not announce (WM_SETTEXT on a multi-line control).
    void Forget();
    // The control's text in GBK.
    const Text& Read(HWND edit);

  private:
    struct Change {
        std::size_t start = 0;
        std::size_t end = 0;
        std::wstring inserted;
    };

    std::optional<Change> Predict(HWND edit, wchar_t character) const;
    bool Apply(HWND edit, const Change& change);
    std::size_t ByteOffset(std::size_t index) const;

    bool known_ = false;
    std::wstring wide_;
    Text gbk_;
    // A place in the text (UTF-16 index) and where it starts in the GBK copy: the last change, so
    // the next character typed after it is placed without measuring the text before it.
    std::size_t anchor_index_ = 0;
    std::size_t anchor_byte_ = 0;
    std::optional<Change> expected_;
};

}  // namespace yz
