#include "document/text_rescue.h"

#include "runtime/clock.h"
#include "runtime/files.h"
#include "ui/names.h"
#include "ui/status_line.h"

namespace yz {

Text RescueFolderPath() {
    return ProgramDirectory() + "\\砚舟文匣备份";
}

TextRescue::TextRescue(UiService& ui) : ui_(ui), files_(RescueFolderPath()) {}

namespace {

// Line breaks at the end are not worth a copy: the Enter that auto-saved a text leaves one there.
std::string_view WithoutTrailingBreaks(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::optional<Text> TextRescue::KeepBeforeReplacing(const Text& incoming) {
    const std::string_view text = ui_.EditText(ui::主编框);
    if (WithoutTrailingBreaks(text).empty() || WithoutTrailingBreaks(text) == WithoutTrailingBreaks(incoming)) {
        return Text();
    }
    const Text path = files_.Write(text, Now());
    if (path.empty()) {
        ui_.MessageBox("编辑框中的内容无法另存到:\r\n\r\n" + files_.folder() +
                           "\r\n\r\n为免丢失,内容保持不变.请检查磁盘空间,或文件夹是否只读.",
                       kMbOk | kMbIconError, "提示：");
        return std::nullopt;
    }
    return path;
}

void TextRescue::ShowKept(const Text& path) {
    ui::ShowStatus(ui_, " --霁川软件 原有内容已另存到:" + path);
}

void TextRescue::KeepOnFatalError() noexcept {
    const std::string_view text = ui_.EditText(ui::主编框);
    if (!text.empty()) {
        files_.WriteWithoutAllocating(text, Now());
    }
}

}  // namespace yz
