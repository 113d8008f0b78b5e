#include "document/document_editor.h"

#include "document/statistics.h"
#include "ui/names.h"
#include "ui/status_line.h"

namespace yz {

namespace {

constexpr int kVkBackspace = 8;
constexpr int kVkEnter = 13;
constexpr int kVkControl = 17;

}  // namespace

DocumentEditor::DocumentEditor(UiService& ui, DocumentState& state, std::function<void()> paragraph_save)
    : ui_(ui), state_(state), paragraph_save_(std::move(paragraph_save)) {}

void DocumentEditor::UpdateStatistics() {
    // Counted in place after every typed character: a copy of a whole volume would cost more.
    const TextStatistics statistics = CountText(ui_.EditText(ui::主编框));
    state_.paragraph_count = statistics.paragraphs;
    ui::ShowStatus(ui_, StatisticsTail(statistics, state_.line_breaks));
}

bool DocumentEditor::OnKeyDown(int virtual_key) {
    if (virtual_key == kVkBackspace) {
        state_.line_breaks = state_.paragraph_count - 1;
    } else if (virtual_key == kVkEnter) {
        ++state_.line_breaks;
        paragraph_save_();
    }
    return true;
}

void DocumentEditor::ClearText() {
    const int answer =
        ui_.MessageBox("是否真的要清空当前文本?\r\n\r\n[是] 清空当前所有文本\r\n\r\n[否] 纯属手误返回当前文本",
                       kMbYesNo, "清空文本提醒:");
    if (answer != kResultYes) {
        return;
    }
    ui_.SetProperty(ui::主编框, Property::kText, Text());
    state_.paragraph_count = 0;
    state_.line_breaks = 0;
    ui_.ListBoxClear(ui::段落列表);
    ui::ShowStatus(ui_, " --霁川软件 ⊙△⊙ 亲    已为您清空了统计数据!!!");
}

void DocumentEditor::Undo() {
    ui_.SimulateKeys({kVkControl, 'Z'});
}

void DocumentEditor::Cut() {
    ui_.SimulateKeys({kVkControl, 'X'});
}

void DocumentEditor::Copy() {
    ui_.SimulateKeys({kVkControl, 'C'});
}

void DocumentEditor::Paste() {
    ui_.SimulateKeys({kVkControl, 'V'});
}

}  // namespace yz
