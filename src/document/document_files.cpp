#include "document/document_files.h"

#include "document/write_failure.h"
#include "runtime/convert.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "ui/names.h"
#include "ui/status_line.h"

namespace yz {

namespace {

const Text kTextFilePattern = "*.txt";

Text FileText(const Text& path) {
    return ToText(ReadFileBytes(path));
}

}  // namespace

bool DocumentChanged(const Text& editor_text, const Text& path) {
    return !editor_text.empty() && CompareText(editor_text, FileText(path), true) != 0;
}

DocumentFiles::DocumentFiles(UiService& ui, DocumentState& state, AutoSave& auto_save)
    : ui_(ui), state_(state), auto_save_(auto_save) {}

Text DocumentFiles::ChooseFile(int kind) {
    using ui::通用对话框;
    ui_.SetProperty(通用对话框, Property::kDialogKind, std::int64_t{kind});
    ui_.SetProperty(通用对话框, Property::kFilter, kTextFilePattern);
    ui_.SetProperty(通用对话框, Property::kDefaultExtension, kTextFilePattern);
    ui_.SetProperty(通用对话框, Property::kInitialDirectory, ProgramDirectory());
    if (!ui_.ShowFileDialog(通用对话框)) {
        return {};
    }
    return GetText(ui_, 通用对话框, Property::kFileName);
}

void DocumentFiles::NewDocument() {
    const Text text = GetText(ui_, ui::主编框, Property::kText);
    if (DocumentChanged(text, state_.current_path)) {
        const int answer = ui_.MessageBox("程序检测到当前文档\r\n\r\n已发生改动.\r\n\r\n是否对当前文档进行自动保存？",
                                          kMbYesNo, "提示：");
        if (answer == kResultYes) {
            auto_save_.SaveParagraph();
        }
    }
    state_.paragraph_count = 0;
    ui_.SetProperty(ui::主编框, Property::kText, Text());
    state_.line_breaks = 0;

    const Text path = ChooseFile(kDialogSave);
    if (path.empty()) {
        // Without a path the next Enter cannot overwrite the previous document with the empty text.
        state_.current_path.clear();
        ui::ShowStatus(ui_, " --霁川软件 注意:您取消了[新建文档]操作.");
        return;
    }
    if (!WriteFileBytes(path, {Text()})) {
        // The editor is empty by now: keeping the old path would let the next Enter write the new
        // text over the previous document.
        state_.current_path.clear();
        ReportWriteFailure(ui_, path);
        return;
    }
    state_.current_path = path;
    ui::ShowStatus(ui_, " --霁川软件 恭喜：文档建立成功！地址为:" + path);
}

void DocumentFiles::OpenDocument() {
    const Text gave_up = " --霁川软件 您放弃了[打开文档]操作";
    if (!GetText(ui_, ui::主编框, Property::kText).empty()) {
        const int answer = ui_.MessageBox(
            "霁川软件提醒您：\r\n\r\n即将打开的新文件会覆盖当前文档. \r\n\r\n"
            "如果希望 当前文档 与 新文件 共存,请使用[添加文档]Ctrl+F\r\n\r\n选[是]打开新文档.选[否]返回当前文档",
            kMbYesNo, "温馨提示：");
        if (answer != kResultYes) {
            ui::ShowStatus(ui_, gave_up);
            return;
        }
    }
    const Text path = ChooseFile(kDialogOpen);
    if (path.empty()) {
        ui::ShowStatus(ui_, gave_up);
        return;
    }
    state_.paragraph_count = 0;
    ui_.SetProperty(ui::主编框, Property::kText, Text());
    state_.line_breaks = 0;
    state_.current_path.clear();
    ui_.SetProperty(ui::主编框, Property::kText, FileText(path));
    state_.current_path = path;
    ui::ShowStatus(ui_, " --霁川软件 [打开文档]成功!地址为:" + path);
}

void DocumentFiles::AppendDocument() {
    const Text path = ChooseFile(kDialogOpen);
    if (path.empty()) {
        return;
    }
    ui_.EditAppend(ui::主编框, FileText(path));
}

bool DocumentFiles::SaveDocument() {
    const Text path = ChooseFile(kDialogSave);
    if (path.empty()) {
        ui::ShowStatus(ui_, " --霁川软件 注意:您放弃了[保存文档]");
        return false;
    }
    if (!WriteFileBytes(path, {GetText(ui_, ui::主编框, Property::kText)})) {
        ReportWriteFailure(ui_, path);
        return false;
    }
    state_.current_path = path;
    ui::ShowStatus(ui_, " --霁川软件 恭喜：保存成功！地址为:" + path);
    return true;
}

bool DocumentFiles::ExitCheck() {
    const Text text = GetText(ui_, ui::主编框, Property::kText);
    const Text last_chosen = GetText(ui_, ui::通用对话框, Property::kFileName);
    if (DocumentChanged(text, last_chosen)) {
        const int answer = ui_.MessageBox(
            "程序检测到 您的文档\r\n\r\n已发生更改 尚未保存\r\n\r\n是否对当前文档进行保存？", kMbYesNo, "提示：");
        // A save that was cancelled or failed keeps the program and the text: ending now would
        // lose the writer's unsaved work.
        if (answer == kResultYes && !SaveDocument()) {
            return false;
        }
    } else {
        const int answer = ui_.MessageBox(
            "为防止手误操作.确认您是否真的要关闭退出?\r\n\r\n选[是]确定退出.选[否]放弃返回", kMbYesNo, "退出确认：");
        if (answer != kResultYes) {
            return false;
        }
    }
    ui_.EndProgram(0);
    return true;
}

}  // namespace yz
