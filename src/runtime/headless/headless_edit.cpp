#include "runtime/headless/headless_edit.h"

#include <algorithm>

#include "runtime/text.h"

namespace yz {

namespace {

int Length(const Text& text) {
    return static_cast<int>(text.size());
}

}  // namespace

int NextCharacter(const Text& text, int position) {
    const int length = Length(text);
    if (position >= length) {
        return length;
    }
    const auto at = static_cast<std::size_t>(position);
    const bool pair = (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ||
                      (IsGbkLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size());
    return position + (pair ? 2 : 1);
}

int SnapToCharacter(const Text& text, int position) {
    if (position <= 0) {
        return 0;
    }
    int at = 0;
    while (at < Length(text)) {
        const int next = NextCharacter(text, at);
        if (next > position) {
            return at;
        }
        at = next;
    }
    return Length(text);
}

int PreviousCharacter(const Text& text, int position) {
    int at = 0;
    int previous = 0;
    while (at < position && at < Length(text)) {
        previous = at;
        at = NextCharacter(text, at);
    }
    return previous;
}

Text CutToBytes(const Text& text, int bytes) {
    if (bytes >= Length(text)) {
        return text;
    }
    return text.substr(0, static_cast<std::size_t>(SnapToCharacter(text, std::max(bytes, 0))));
}

int EditBuffer::SelectionStart() const {
    return std::min(caret_, anchor_);
}

int EditBuffer::SelectionEnd() const {
    return std::max(caret_, anchor_);
}

Text EditBuffer::SelectedText() const {
    return text_.substr(static_cast<std::size_t>(SelectionStart()),
                        static_cast<std::size_t>(SelectionEnd() - SelectionStart()));
}

void EditBuffer::SetText(const Text& text) {
    text_ = text;
    caret_ = 0;
    anchor_ = 0;
    can_undo_ = false;
    typing_run_ = false;
}

bool EditBuffer::Append(const Text& text) {
    caret_ = anchor_ = Length(text_);
    const Text fitted = limit_ > 0 ? CutToBytes(text, limit_ - Length(text_)) : text;
    can_undo_ = false;
    typing_run_ = false;
    if (fitted.empty()) {
        return false;
    }
    text_ += fitted;
    caret_ = anchor_ = Length(text_);
    return true;
}

void EditBuffer::Select(int anchor, int caret) {
    anchor_ = SnapToCharacter(text_, anchor);
    caret_ = SnapToCharacter(text_, caret);
    typing_run_ = false;
}

void EditBuffer::Remember(bool typing) {
    if (!(typing && typing_run_)) {
        undo_text_ = text_;
        undo_caret_ = SelectionStart();
        can_undo_ = true;
    }
    typing_run_ = typing;
}

bool EditBuffer::ReplaceSelection(const Text& replacement) {
    const int start = SelectionStart();
    text_.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(SelectionEnd() - start), replacement);
    caret_ = anchor_ = start + Length(replacement);
    return true;
}

bool EditBuffer::Type(const Text& characters) {
    const int room = Length(text_) - (SelectionEnd() - SelectionStart());
    if (characters.empty() || (limit_ > 0 && room + Length(characters) > limit_)) {
        return false;
    }
    Remember(true);
    return ReplaceSelection(characters);
}

bool EditBuffer::Paste(const Text& text) {
    if (text.empty()) {
        return false;
    }
    const int room = Length(text_) - (SelectionEnd() - SelectionStart());
    const Text fitted = limit_ > 0 ? CutToBytes(text, limit_ - room) : text;
    if (fitted.empty() && SelectionStart() == SelectionEnd()) {
        return false;
    }
    Remember(false);
    return ReplaceSelection(fitted);
}

bool EditBuffer::DeleteSelection() {
    if (SelectionStart() == SelectionEnd()) {
        return false;
    }
    Remember(false);
    return ReplaceSelection({});
}

bool EditBuffer::Backspace() {
    if (SelectionStart() == SelectionEnd()) {
        if (caret_ == 0) {
            return false;
        }
        anchor_ = PreviousCharacter(text_, caret_);
    }
    return DeleteSelection();
}

bool EditBuffer::DeleteForward() {
    if (SelectionStart() == SelectionEnd()) {
        if (caret_ >= Length(text_)) {
            return false;
        }
        anchor_ = NextCharacter(text_, caret_);
    }
    return DeleteSelection();
}

bool EditBuffer::Undo() {
    if (!can_undo_) {
        return false;
    }
    const int caret = SelectionStart();
    std::swap(text_, undo_text_);
    caret_ = anchor_ = SnapToCharacter(text_, undo_caret_);
    undo_caret_ = caret;
    typing_run_ = false;
    return true;
}

void EditBuffer::PlaceCaret(int position, bool extend) {
    caret_ = position;
    if (!extend) {
        anchor_ = position;
    }
    typing_run_ = false;
}

void EditBuffer::MoveLeft(bool extend) {
    if (!extend && SelectionStart() != SelectionEnd()) {
        PlaceCaret(SelectionStart(), false);
        return;
    }
    PlaceCaret(PreviousCharacter(text_, caret_), extend);
}

void EditBuffer::MoveRight(bool extend) {
    if (!extend && SelectionStart() != SelectionEnd()) {
        PlaceCaret(SelectionEnd(), false);
        return;
    }
    PlaceCaret(NextCharacter(text_, caret_), extend);
}

void EditBuffer::MoveHome(bool extend, bool whole) {
    int start = 0;
    if (!whole) {
        const std::size_t break_at = caret_ == 0 ? Text::npos : text_.rfind('\n', static_cast<std::size_t>(caret_ - 1));
        start = break_at == Text::npos ? 0 : static_cast<int>(break_at) + 1;
    }
    PlaceCaret(start, extend);
}

void EditBuffer::MoveEnd(bool extend, bool whole) {
    int end = Length(text_);
    if (!whole) {
        const std::size_t break_at = text_.find("\r\n", static_cast<std::size_t>(caret_));
        end = break_at == Text::npos ? end : static_cast<int>(break_at);
    }
    PlaceCaret(end, extend);
}

}  // namespace yz
