// Edit appends, list boxes, list views, tab captions and raw messages to controls.

#include "runtime/win32/win32_desktop.h"

#include <commctrl.h>

#include "runtime/wide_win32.h"

namespace yz {

namespace {

HWND HandleOfKind(const ControlState* control, ControlKind kind) {
    return control != nullptr && control->tmpl.kind == kind ? control->hwnd : nullptr;
}

}  // namespace

void Win32Desktop::EditAppend(const ControlRef& edit, const Text& text) {
    ControlState* control = FindControl(edit);
    HWND hwnd = HandleOfKind(control, ControlKind::kEditBox);
    if (hwnd == nullptr) {
        return;
    }
    const int length = GetWindowTextLengthW(hwnd);
    SendMessageW(hwnd, EM_SETSEL, length, length);
    if (text.empty()) {
        return;
    }
    const std::wstring wide = WideFromGbk(text);
    const int before = control->content_changes;
    SendMessageW(hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    if (control->content_changes == before && control->hwnd != nullptr) {
        ++control->content_changes;
        RaiseFor(control, EventKind::kContentChanged);
    }
}

std::string_view Win32Desktop::EditText(const ControlRef& edit) const {
    const ControlState* control = FindControl(edit);
    HWND hwnd = HandleOfKind(control, ControlKind::kEditBox);
    return hwnd != nullptr ? std::string_view(control->edit_text.Read(hwnd)) : std::string_view();
}

int Win32Desktop::ListBoxInsert(const ControlRef& list, int index, const Text& text, std::int64_t data) {
    HWND hwnd = HandleOfKind(FindControl(list), ControlKind::kListBox);
    if (hwnd == nullptr || index < 0) {
        return -1;
    }
    const std::wstring wide = WideFromGbk(text);
    const LRESULT at =
        SendMessageW(hwnd, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.c_str()));
    if (at == LB_ERR || at == LB_ERRSPACE) {
        return -1;
    }
    SendMessageW(hwnd, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(data));
    return static_cast<int>(at);
}

void Win32Desktop::ListBoxClear(const ControlRef& list) {
    if (HWND hwnd = HandleOfKind(FindControl(list), ControlKind::kListBox)) {
        SendMessageW(hwnd, LB_RESETCONTENT, 0, 0);
    }
}

int Win32Desktop::ListViewInsert(const ControlRef& view, int row, const Text& text) {
    HWND hwnd = HandleOfKind(FindControl(view), ControlKind::kListView);
    if (hwnd == nullptr) {
        return -1;
    }
    std::wstring wide = WideFromGbk(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row >= 0 ? row : static_cast<int>(SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = wide.data();
    return static_cast<int>(SendMessageW(hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void Win32Desktop::ListViewSetText(const ControlRef& view, int row, int column, const Text& text) {
    HWND hwnd = HandleOfKind(FindControl(view), ControlKind::kListView);
    if (hwnd == nullptr) {
        return;
    }
    std::wstring wide = WideFromGbk(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(hwnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

Text Win32Desktop::ListViewGetText(const ControlRef& view, int row, int column) const {
    HWND hwnd = HandleOfKind(FindControl(view), ControlKind::kListView);
    if (hwnd == nullptr) {
        return {};
    }
    std::wstring buffer(4096, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length = SendMessageW(hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    buffer.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return GbkFromWide(buffer);
}

int Win32Desktop::ListViewItemCount(const ControlRef& view) const {
    HWND hwnd = HandleOfKind(FindControl(view), ControlKind::kListView);
    return hwnd != nullptr ? static_cast<int>(SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

void Win32Desktop::ListViewDelete(const ControlRef& view, int row) {
    if (HWND hwnd = HandleOfKind(FindControl(view), ControlKind::kListView); hwnd != nullptr && row >= 0) {
        SendMessageW(hwnd, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
    }
}

void Win32Desktop::ListViewInsertColumn(const ControlRef& view, int column, const Text& title, int width) {
    HWND hwnd = HandleOfKind(FindControl(view), ControlKind::kListView);
    if (hwnd == nullptr) {
        return;
    }
    std::wstring wide = WideFromGbk(title);
    LVCOLUMNW settings{};
    settings.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    settings.cx = width;
    settings.pszText = wide.data();
    settings.iSubItem = column;
    SendMessageW(hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&settings));
}

void Win32Desktop::SetTabCaption(const ControlRef& tabs, int page, const Text& caption) {
    HWND hwnd = HandleOfKind(FindControl(tabs), ControlKind::kTabControl);
    if (hwnd == nullptr) {
        return;
    }
    std::wstring wide = WideFromGbk(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = wide.data();
    SendMessageW(hwnd, TCM_SETITEMW, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item));
}

std::int64_t Win32Desktop::SendUnitMessage(const ControlRef& ref,
                                           int message,
                                           std::int64_t wparam,
                                           std::int64_t lparam) {
    HWND hwnd = Handle(ref);
    if (hwnd == nullptr) {
        return 0;
    }
    return SendMessageW(hwnd, static_cast<UINT>(message), static_cast<WPARAM>(wparam), static_cast<LPARAM>(lparam));
}

}  // namespace yz
