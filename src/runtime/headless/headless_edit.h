#pragma once

// The text of one headless edit box with its caret, selection, byte limit, single undo step and
// the cut/copy/paste operations. Every position is a byte offset that never falls inside a
// double-byte GBK character or between the two bytes of a "\r\n" line break. Nothing here raises
// events: each change answers whether the text changed, and the desktop raises content-changed.

#include "runtime/types.h"

namespace yz {

class EditBuffer {
  public:
    const Text& text() const { return text_; }
    int caret() const { return caret_; }
    int SelectionStart() const;
    int SelectionEnd() const;
    Text SelectedText() const;
    bool CanUndo() const { return can_undo_; }

    // Limit in bytes for what the writer types or pastes; 0 for none.
    void SetLimit(int bytes) { limit_ = bytes < 0 ? 0 : bytes; }
    int limit() const { return limit_; }

    // Text set by the program: never limited, caret to the start, the undo step forgotten.
    void SetText(const Text& text);
    // Inserted by the program at the end, the caret after it; cut to the limit like the writer's
    // paste; forgets the undo step. True when the text changed.
    bool Append(const Text& text);

    // Selects [anchor, caret) in either direction; both ends snap to a character boundary.
    void Select(int anchor, int caret);

    // Typed by the writer over the selection: refused whole when the result would pass the limit.
    // Consecutive typing is one undo step.
    bool Type(const Text& characters);
    // Pasted over the selection: cut at a character boundary to what the limit leaves room for.
    bool Paste(const Text& text);
    // The selection, or else the character before (Backspace) or after (Delete) the caret.
    bool Backspace();
    bool DeleteForward();
    // Removes the selection (the cut half of Ctrl+X); false when nothing is selected.
    bool DeleteSelection();
    // Swaps the text with the one before the last change; doing it again redoes.
    bool Undo();

    // Caret keys: one character left or right, to the start or end of the line, or of the whole
    // text with `whole`; `extend` keeps the anchor so the selection grows.
    void MoveLeft(bool extend);
    void MoveRight(bool extend);
    void MoveHome(bool extend, bool whole);
    void MoveEnd(bool extend, bool whole);

  private:
    void Remember(bool typing);
    bool ReplaceSelection(const Text& replacement);
    void PlaceCaret(int position, bool extend);

    Text text_;
    int caret_ = 0;
    int anchor_ = 0;
    int limit_ = 0;
    Text undo_text_;
    int undo_caret_ = 0;
    bool can_undo_ = false;
    bool typing_run_ = false;
};

// Character boundaries in a GBK text: a lead byte (0x81 to 0xFE) takes the byte after it, and a
// "\r\n" pair counts as one character.
int NextCharacter(const Text& text, int position);
int PreviousCharacter(const Text& text, int position);
int SnapToCharacter(const Text& text, int position);
// The longest prefix of `text` of at most `bytes` bytes that ends at a character boundary.
Text CutToBytes(const Text& text, int bytes);

}  // namespace yz
