#include "runtime/win32/win32_edit_text.h"

#include "runtime/wide_win32.h"

namespace yz {

namespace {

bool IsSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

std::size_t TextLength(HWND edit) {
    return static_cast<std::size_t>(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0));
}

// The length of the text once converted, without converting it.
std::size_t GbkLength(std::wstring_view text) {
    if (text.empty()) {
        return 0;
    }
    const int bytes =
        WideCharToMultiByte(kGbkCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    return bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
}

}  // namespace

void EditTextMirror::ExpectCharacter(HWND edit, wchar_t character) {
    expected_ = known_ ? Predict(edit, character) : std::nullopt;
    if (!expected_) {
        Forget();  // whatever the character does is read again
    }
}

std::optional<EditTextMirror::Change> EditTextMirror::Predict(HWND edit, wchar_t character) const {
    // Only what a plain multi-line control does with a character is followed: it replaces the
    // selection with the character, with CR LF for Enter. Control characters (Ctrl+V arrives as
    // 0x16), surrogate halves and styles that change or refuse characters are left to a full read.
    const LONG style = GetWindowLongW(edit, GWL_STYLE);
    if ((style & ES_MULTILINE) == 0 || (style & (ES_READONLY | ES_UPPERCASE | ES_LOWERCASE | ES_NUMBER)) != 0 ||
        IsSurrogate(character) || (character < 0x20 && character != L'\t' && character != L'\r') ||
        (character == L'\r' && (style & ES_WANTRETURN) == 0) || character == 0x7F) {
        return std::nullopt;
    }
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start > end || end > wide_.size()) {
        return std::nullopt;
    }
    // A pair split at either edge converts differently on its own.
    for (const std::size_t at : {static_cast<std::size_t>(start), static_cast<std::size_t>(end)}) {
        if ((at > 0 && IsSurrogate(wide_[at - 1])) || (at < wide_.size() && IsSurrogate(wide_[at]))) {
            return std::nullopt;
        }
    }
    return Change{start, end, character == L'\r' ? std::wstring(L"\r\n") : std::wstring(1, character)};
}

void EditTextMirror::OnChanged(HWND edit) {
    const std::optional<Change> change = std::move(expected_);
    expected_.reset();
    if (known_ && !(change && Apply(edit, *change))) {
        Forget();
    }
}

bool EditTextMirror::Apply(HWND edit, const Change& change) {
    if (TextLength(edit) != wide_.size() - (change.end - change.start) + change.inserted.size()) {
        return false;
    }
    const std::size_t byte_start = ByteOffset(change.start);
    const std::size_t byte_end =
        byte_start + GbkLength(std::wstring_view(wide_).substr(change.start, change.end - change.start));
    const Text inserted = GbkFromWide(change.inserted);
    gbk_.replace(byte_start, byte_end - byte_start, inserted);
    wide_.replace(change.start, change.end - change.start, change.inserted);
    anchor_index_ = change.start + change.inserted.size();
    anchor_byte_ = byte_start + inserted.size();
    return true;
}

std::size_t EditTextMirror::ByteOffset(std::size_t index) const {
    const std::wstring_view wide(wide_);
    if (index >= anchor_index_) {
        return anchor_byte_ + GbkLength(wide.substr(anchor_index_, index - anchor_index_));
    }
    if (index > anchor_index_ / 2) {
        return anchor_byte_ - GbkLength(wide.substr(index, anchor_index_ - index));
    }
    return GbkLength(wide.substr(0, index));
}

void EditTextMirror::Forget() {
    known_ = false;
    expected_.reset();
    wide_.clear();
    wide_.shrink_to_fit();
    gbk_.clear();
    gbk_.shrink_to_fit();
}

const Text& EditTextMirror::Read(HWND edit) {
    // A change that went by unseen and altered the length is caught here.
    if (!known_ || TextLength(edit) != wide_.size()) {
        wide_.assign(TextLength(edit) + 1, L'\0');
        wide_.resize(static_cast<std::size_t>(GetWindowTextW(edit, wide_.data(), static_cast<int>(wide_.size()))));
        gbk_ = GbkFromWide(wide_);
        anchor_index_ = 0;
        anchor_byte_ = 0;
        known_ = true;
    }
    return gbk_;
}

}  // namespace yz
