// List boxes, list views and tab captions: the program's operations and the test's reads.

#include <algorithm>

#include "runtime/headless/headless_desktop.h"

namespace yz {

namespace {

bool IsKind(const ControlState* control, ControlKind kind) {
    return control != nullptr && control->kind() == kind;
}

}  // namespace

int HeadlessDesktop::ListBoxInsert(const ControlRef& list, int index, const Text& text, std::int64_t data) {
    ControlState* control = FindControl(list);
    if (!IsKind(control, ControlKind::kListBox) || index < 0 || index > static_cast<int>(control->lines.size())) {
        return -1;
    }
    control->lines.insert(control->lines.begin() + index, ListBoxLine{text, data});
    if (control->list_selection >= index) {
        ++control->list_selection;
    }
    return index;
}

void HeadlessDesktop::ListBoxClear(const ControlRef& list) {
    ControlState* control = FindControl(list);
    if (IsKind(control, ControlKind::kListBox)) {
        control->lines.clear();
        control->list_selection = -1;
    }
}

std::vector<ListBoxLine> HeadlessDesktop::ListBoxLines(const ControlRef& list) const {
    const ControlState* control = FindControl(list);
    return IsKind(control, ControlKind::kListBox) ? control->lines : std::vector<ListBoxLine>{};
}

int HeadlessDesktop::ListBoxSelection(const ControlRef& list) const {
    const ControlState* control = FindControl(list);
    return IsKind(control, ControlKind::kListBox) ? control->list_selection : -1;
}

int HeadlessDesktop::ListViewInsert(const ControlRef& view, int row, const Text& text) {
    ControlState* control = FindControl(view);
    if (!IsKind(control, ControlKind::kListView)) {
        return -1;
    }
    const int count = static_cast<int>(control->rows.size());
    const int at = row < 0 || row > count ? count : row;
    control->rows.insert(control->rows.begin() + at, std::vector<Text>{text});
    return at;
}

void HeadlessDesktop::ListViewSetText(const ControlRef& view, int row, int column, const Text& text) {
    ControlState* control = FindControl(view);
    if (!IsKind(control, ControlKind::kListView) || row < 0 || row >= static_cast<int>(control->rows.size()) ||
        column < 0 || (column > 0 && column >= static_cast<int>(control->columns.size()))) {
        return;
    }
    std::vector<Text>& cells = control->rows[static_cast<std::size_t>(row)];
    if (static_cast<int>(cells.size()) <= column) {
        cells.resize(static_cast<std::size_t>(column) + 1);
    }
    cells[static_cast<std::size_t>(column)] = text;
}

Text HeadlessDesktop::ListViewGetText(const ControlRef& view, int row, int column) const {
    const ControlState* control = FindControl(view);
    if (!IsKind(control, ControlKind::kListView) || row < 0 || row >= static_cast<int>(control->rows.size()) ||
        column < 0) {
        return {};
    }
    const std::vector<Text>& cells = control->rows[static_cast<std::size_t>(row)];
    return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)] : Text();
}

int HeadlessDesktop::ListViewItemCount(const ControlRef& view) const {
    const ControlState* control = FindControl(view);
    return IsKind(control, ControlKind::kListView) ? static_cast<int>(control->rows.size()) : 0;
}

void HeadlessDesktop::ListViewDelete(const ControlRef& view, int row) {
    ControlState* control = FindControl(view);
    if (IsKind(control, ControlKind::kListView) && row >= 0 && row < static_cast<int>(control->rows.size())) {
        control->rows.erase(control->rows.begin() + row);
    }
}

void HeadlessDesktop::ListViewInsertColumn(const ControlRef& view, int column, const Text& title, int) {
    ControlState* control = FindControl(view);
    if (!IsKind(control, ControlKind::kListView) || column < 0) {
        return;
    }
    const int at = std::min(column, static_cast<int>(control->columns.size()));
    control->columns.insert(control->columns.begin() + at, title);
}

std::vector<Text> HeadlessDesktop::ListViewColumns(const ControlRef& view) const {
    const ControlState* control = FindControl(view);
    return IsKind(control, ControlKind::kListView) ? control->columns : std::vector<Text>{};
}

void HeadlessDesktop::SetTabCaption(const ControlRef& tabs, int page, const Text& caption) {
    ControlState* control = FindControl(tabs);
    if (IsKind(control, ControlKind::kTabControl) && page >= 0 &&
        page < static_cast<int>(control->page_captions.size())) {
        control->page_captions[static_cast<std::size_t>(page)] = caption;
    }
}

int HeadlessDesktop::TabPage(const ControlRef& tabs) const {
    const ControlState* control = FindControl(tabs);
    return IsKind(control, ControlKind::kTabControl) ? control->current_page : -1;
}

std::vector<Text> HeadlessDesktop::TabCaptions(const ControlRef& tabs) const {
    const ControlState* control = FindControl(tabs);
    return IsKind(control, ControlKind::kTabControl) ? control->page_captions : std::vector<Text>{};
}

}  // namespace yz
