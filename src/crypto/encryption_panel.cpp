#include "crypto/encryption_panel.h"

#include "crypto/kkjx_file_name.h"
#include "crypto/kkjx_format.h"
#include "runtime/clock.h"
#include "runtime/files.h"
#include "runtime/system.h"
#include "ui/names.h"

namespace yz {

namespace {

using namespace ui;

constexpr char kEncryptionCaption[] = "文档加密提示:";
constexpr char kDecryptionCaption[] = "解密系统提示:";
constexpr char kKkjxPattern[] = "*.kkjx";
constexpr char kPasswordTooLong[] = "亲!密码太长了吧?.\r\n\r\n普通解密密码最多只支持9位";

const char kPanelHelp[] =
    "\r\n\r\n\r\n  〖文件加密〗:\r\n\r\n    先设置文件名和密码再点[文件加密].程序自动添加后缀*.kkjx\r\n\r\n"
    "  〖文件解密〗:\r\n\r\n    请先设置欲解密的*.kkjx格式文档与密码,再点击[文件解密].\r\n\r\n"
    "  〖强制解密〗:\r\n\r\n   技术解析加密文件 寻回遗失密码 {此功能有争议4.2版暂停使用}\r\n\r\n\r\n\r\n"
    " 设置加密文件名:\r\n\r\n\r\n\r\n (小于9位)密码:";

void Show(UiService& ui, const ControlRef& ref, bool shown) {
    ui.SetProperty(ref, Property::kVisible, shown);
}

void Disable(UiService& ui, const ControlRef& ref, bool disabled) {
    ui.SetProperty(ref, Property::kDisabled, disabled);
}

}  // namespace

EncryptionPanel::EncryptionPanel(UiService& ui,
                                 std::function<void()> return_operation,
                                 std::function<void(const Text&)> replace_editor_text)
    : ui_(ui), return_operation_(std::move(return_operation)), replace_editor_text_(std::move(replace_editor_text)) {}

bool EncryptionPanel::IsOpen() const {
    return GetFlag(ui_, 透明标签, Property::kVisible);
}

void EncryptionPanel::TogglePanel() {
    // The showcase panel lies on the same part of the window.
    if (GetFlag(ui_, 笔名框, Property::kVisible)) {
        for (const ControlRef* box : {&笔名框, &书名框, &宣言框, &链接框, &展示按钮}) {
            Show(ui_, *box, false);
        }
    }
    captured_document_ = GetText(ui_, 主编框, Property::kText);
    const bool was_open = IsOpen();
    return_operation_();
    if (was_open) {
        return;
    }
    Disable(ui_, 主编框, true);
    ui_.SetProperty(主编框, Property::kInputMode, std::int64_t{kInputMasked});
    for (const ControlRef* control :
         {&加按钮, &解m按钮, &加解M框, &显隐选框, &加M文件名, &解M地址, &路径按钮, &透明标签, &返回超钮}) {
        Show(ui_, *control, true);
        Disable(ui_, *control, false);
    }
    ui_.SetProperty(透明标签, Property::kText, Text(kPanelHelp));
    ui_.SetFocus(加M文件名);
    for (const ControlRef* label : {&操作标签, &编辑标签, &功能标签, &设置标签, &帮助标签}) {
        Show(ui_, *label, false);
        Disable(ui_, *label, true);
    }
}

void EncryptionPanel::Encrypt() {
    const Text name = GetText(ui_, 加M文件名, Property::kText);
    if (name.empty()) {
        TellEncryption("亲!请先设置加密后的文件名\r\n\r\n软件会自动帮您完成[文件名.kkjx]后缀的加密文件!");
        return;
    }
    // A name with a separator or a device name would write somewhere else than the program
    // directory, or nowhere.
    if (!IsAcceptableKkjxName(name)) {
        TellEncryption(
            "亲!加密文件名不能含有 \\ / : * ? \" < > | 等字符\r\n\r\n不能以点或空格结尾,也不能是系统保留的设备名"
            "(如CON,PRN,AUX,NUL,COM1,LPT1)\r\n\r\n请重新设置[加密文件名]");
        return;
    }
    const Text path = ProgramDirectory() + "\\" + name + ".kkjx";
    if (FileExists(path)) {
        TellEncryption("本程序检测到:\r\n\r\n在程序的运行目录下.\r\n\r\n已有  " + name +
                       ".kkjx  同名的加密文件\r\n\r\n请重新设置[加密文件名]");
        return;
    }
    const Text password = GetText(ui_, 加解M框, Property::kText);
    if (password.empty()) {
        TellEncryption("亲!请先设置加密文件的密码\r\n\r\n密码最多只支持9位,超过部份无效.");
        return;
    }
    // The box holds 9 bytes, but a longer password may still arrive (pasted into a box without its
    // limit): a file locked with it could never be opened, since decryption refuses it.
    if (password.size() > static_cast<std::size_t>(kKkjxPasswordMaxBytes)) {
        TellEncryption(kPasswordTooLong);
        return;
    }
    const Bytes file = BuildKkjxFile(captured_document_, password, Now(), DiskFeatureNumber());
    if (!WriteFileBytes(path, {file})) {
        TellEncryption("文件无法写入:\r\n\r\n" + path + "\r\n\r\n请检查磁盘空间,或文件是否只读.");
        return;
    }
    TellEncryption("恭喜你!文档加密成功\r\n\r\n加密后的： " + name + ".kkjx 文件在本程序运行目录下");
    CloseFields();
}

void EncryptionPanel::Decrypt() {
    const Text path = GetText(ui_, 解M地址, Property::kText);
    if (path.empty()) {
        TellDecryption("请先选择要解密的文档\r\n\r\n[文件名.kkjx]是本程序专属的加密文件.");
        return;
    }
    const Text password = GetText(ui_, 加解M框, Property::kText);
    if (password.empty()) {
        TellDecryption("请先输入文档的解密密码\r\n\r\n密码最多只支持9位,超过部份无效.");
        return;
    }
    if (password.size() > static_cast<std::size_t>(kKkjxPasswordMaxBytes)) {
        TellDecryption(kPasswordTooLong);
        return;
    }
    const std::optional<Text> text = OpenKkjxFile(ReadFileBytes(path), password);
    if (!text) {
        TellDecryption(
            "抱歉　∵  您输入的密码好像不对.文档解密失败.\r\n\r\n先不要着急.实在记不起密码,请尽量保护文档的完整性."
            "\r\n\r\n如果本文档非常重要.请联系[『霁川客服』]执行[技术解密]寻回密码.");
    } else {
        decrypted_text_ = *text;
        pending_ = true;
        TellDecryption("恭喜您!解密成功!文档已显示在主界面\r\n\r\n解密工作完成!请点[确定]关闭文档加密返回主界面!");
    }
    CloseFields();
}

void EncryptionPanel::ChooseFile() {
    ui_.SetProperty(通用对话框, Property::kDialogKind, std::int64_t{kDialogOpen});
    ui_.SetProperty(通用对话框, Property::kFilter, Text(kKkjxPattern));
    ui_.SetProperty(通用对话框, Property::kDefaultExtension, Text(kKkjxPattern));
    ui_.SetProperty(通用对话框, Property::kInitialDirectory, ProgramDirectory());
    if (ui_.ShowFileDialog(通用对话框)) {
        ui_.SetProperty(解M地址, Property::kText, GetText(ui_, 通用对话框, Property::kFileName));
    }
}

void EncryptionPanel::ShowPassword() {
    const bool clear = GetFlag(ui_, 显隐选框, Property::kChecked);
    ui_.SetProperty(加解M框, Property::kInputMode, std::int64_t{clear ? kInputNormal : kInputMasked});
    ui_.SetFocus(加解M框);
}

void EncryptionPanel::DeliverPendingText() {
    if (!pending_) {
        return;
    }
    pending_ = false;
    replace_editor_text_(decrypted_text_);
    ui_.EditAppend(主编框, Text());  // the caret to the end, nothing inserted
}

void EncryptionPanel::TellEncryption(const Text& text) {
    ui_.MessageBox(text, kMbOk, kEncryptionCaption);
}

void EncryptionPanel::TellDecryption(const Text& text) {
    ui_.MessageBox(text, kMbOk, kDecryptionCaption);
}

void EncryptionPanel::CloseFields() {
    Disable(ui_, 主编框, false);
    ui_.SetProperty(主编框, Property::kInputMode, std::int64_t{kInputNormal});
    for (const ControlRef* control :
         {&加按钮, &解m按钮, &强制解析, &加解M框, &显隐选框, &加M文件名, &解M地址, &路径按钮}) {
        Show(ui_, *control, false);
        Disable(ui_, *control, true);
    }
    Show(ui_, 透明标签, false);
}

}  // namespace yz
