#include "document/auto_save.h"

#include "crypto/data_cipher.h"
#include "document/write_failure.h"
#include "runtime/convert.h"
#include "runtime/files.h"
#include "ui/names.h"
#include "ui/status_line.h"

namespace yz {

Text AutoSaveFilePath() {
    return ProgramDirectory() + "\\砚舟文匣自动存档";
}

AutoSave::AutoSave(UiService& ui, DocumentState& state, TextRescue& rescue) : ui_(ui), state_(state), rescue_(rescue) {}

bool AutoSave::SaveParagraph() {
    const Text text = GetText(ui_, ui::主编框, Property::kText);
    if (!state_.current_path.empty() && !text.empty()) {
        if (!WriteFileBytes(state_.current_path, {text})) {
            ReportWriteFailure(ui_, state_.current_path);
            return false;
        }
        ui::ShowStatus(ui_, " --霁川软件 当前内容已[自动保存]到:" + state_.current_path);
        return true;
    }
    const Text path = AutoSaveFilePath();
    const bool keeps_unsaved_text = text.empty() && FileExists(path);
    if (!keeps_unsaved_text) {
        const Bytes encrypted = EncryptData(text, kAutoSaveKey, CipherAlgorithm::kStream);
        if (!WriteFileBytes(path, {encrypted})) {
            ReportWriteFailure(ui_, path);
            return false;
        }
    }
    ui::ShowStatus(ui_, " --霁川软件 未检测到文档路径.自存路径:" + path);
    return true;
}

void AutoSave::ReadAutoSave() {
    const Bytes encrypted = ReadFileBytes(AutoSaveFilePath());
    if (encrypted.empty()) {
        return;
    }
    ReplaceEditorText(ToText(DecryptData(encrypted, kAutoSaveKey, CipherAlgorithm::kStream)));
}

bool AutoSave::ReplaceEditorText(const Text& text) {
    // Not through the auto-save file: the next Enter in the new text would overwrite it.
    std::optional<Text> rescued = Text();
    if (!state_.current_path.empty()) {
        if (!SaveParagraph()) {
            return false;
        }
    } else if (!(rescued = rescue_.KeepBeforeReplacing(text))) {
        return false;
    }
    ui_.SetProperty(ui::主编框, Property::kText, text);
    state_.current_path.clear();
    if (!rescued->empty()) {
        rescue_.ShowKept(*rescued);
    }
    return true;
}

void AutoSave::ShowHelp() {
    ui_.MessageBox(
        "[Enter]键     段落换行自动保存\r\n\r\n当前文本内容每完成一段落.都会触发自动保存\r\n\r\n"
        "如果已在本地路径建立文档.则直接保存在路径文档里\r\n\r\n否则加密保存在程序目录下.名为[砚舟文匣自动存档]."
        "\r\n\r\n该加密保存文件只能用[功能菜单]下的[读取自存]载入",
        kMbOk, "功能说明:");
}

}  // namespace yz
