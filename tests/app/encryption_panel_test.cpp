#include <gtest/gtest.h>

#include "app/program_fixture.h"
#include "crypto/kkjx_format.h"
#include "runtime/convert.h"
#include "runtime/files.h"
#include "runtime/headless/headless_keys.h"
#include "support/test_text.h"

namespace yz::test {
namespace {

using namespace ui;

const ControlRef* const kFields[] = {&加按钮,    &解m按钮, &加解M框,  &显隐选框,
                                     &加M文件名, &解M地址, &路径按钮, &透明标签};
const ControlRef* const kMenuLabels[] = {&操作标签, &编辑标签, &功能标签, &设置标签, &帮助标签};

class EncryptionPanelTest : public ProgramTest {
  protected:
    void SetUp() override { ASSERT_TRUE(Start()); }

    void AltQ() { ASSERT_TRUE(desktop_.PressGlobalKey('Q', vk::kAlt)); }
    bool Visible(const ControlRef& ref) const { return GetFlag(desktop_, ref, Property::kVisible); }
    bool Disabled(const ControlRef& ref) const { return GetFlag(desktop_, ref, Property::kDisabled); }
    std::int64_t InputMode(const ControlRef& ref) const { return GetNumber(desktop_, ref, Property::kInputMode); }
    void SetEditor(const Text& text) { desktop_.SetProperty(主编框, Property::kText, text); }
    void Fill(const Text& name, const Text& password) {
        desktop_.SetProperty(加M文件名, Property::kText, name);
        desktop_.SetProperty(加解M框, Property::kText, password);
    }
    // Clicks `button` and answers the one box it shows; its text.
    Text ClickAndRead(const ControlRef& button, const Text& caption) {
        const std::size_t before = desktop_.message_boxes().size();
        desktop_.QueueMessageBoxAnswer(kResultOk);
        EXPECT_TRUE(desktop_.Click(button));
        EXPECT_EQ(desktop_.message_boxes().size(), before + 1);
        EXPECT_EQ(LastMessageBox().caption, caption);
        EXPECT_EQ(LastMessageBox().flags & 0xF, kMbOk);
        return LastMessageBox().text;
    }
    Text Encrypt() { return ClickAndRead(加按钮, "文档加密提示:"); }
    Text Decrypt() { return ClickAndRead(解m按钮, "解密系统提示:"); }
    void Choose(const Text& path) {
        desktop_.QueueFileDialogAnswer(path);
        ASSERT_TRUE(desktop_.Click(路径按钮));
    }
    void ExpectFieldsClosed() {
        for (const ControlRef* field : kFields) {
            EXPECT_FALSE(Visible(*field)) << Show(field->control);
        }
        EXPECT_FALSE(Disabled(主编框));
        EXPECT_EQ(InputMode(主编框), kInputNormal);
        // The return button and the hidden menu labels wait for the return operation.
        EXPECT_TRUE(Visible(返回超钮));
        EXPECT_FALSE(Visible(功能标签));
    }
    Text Kkjx(const Text& name) const { return dir_.File(name + ".kkjx"); }
};

TEST_F(EncryptionPanelTest, AltQOpensThePanelOverAMaskedEditorAndAltQAgainClosesIt) {
    SetEditor("正文");
    AltQ();
    for (const ControlRef* field : kFields) {
        EXPECT_TRUE(Visible(*field) && !Disabled(*field)) << Show(field->control);
    }
    EXPECT_TRUE(Visible(返回超钮));
    EXPECT_FALSE(Visible(强制解析));
    for (const ControlRef* label : kMenuLabels) {
        EXPECT_TRUE(!Visible(*label) && Disabled(*label)) << Show(label->control);
    }
    EXPECT_TRUE(Disabled(主编框));
    EXPECT_EQ(InputMode(主编框), kInputMasked);
    EXPECT_EQ(desktop_.FocusedControl(), 加M文件名);
    EXPECT_EQ(GetText(desktop_, 透明标签, Property::kText).find("\r\n\r\n\r\n  〖文件加密〗:\r\n\r\n"), 0u);
    EXPECT_FALSE(desktop_.TypeText(主编框, "x"));

    desktop_.SetProperty(加M文件名, Property::kText, Text("留着"));
    AltQ();
    for (const ControlRef* field : kFields) {
        EXPECT_FALSE(Visible(*field)) << Show(field->control);
    }
    EXPECT_FALSE(Visible(返回超钮));
    EXPECT_FALSE(Disabled(主编框));
    EXPECT_EQ(InputMode(主编框), kInputNormal);
    EXPECT_TRUE(Visible(功能标签));
    EXPECT_EQ(EditorText(), "正文");

    // The menu entry toggles as well, and the fields keep what was typed.
    desktop_.QueuePopupMenuPick(Text("文档加密 Alt+Q"));
    ASSERT_TRUE(desktop_.LeftButtonDown(功能标签));
    EXPECT_TRUE(Visible(加M文件名));
    EXPECT_EQ(GetText(desktop_, 加M文件名, Property::kText), "留着");
}

TEST_F(EncryptionPanelTest, EncryptChecksInOrderThenWritesTheDocumentCapturedAtOpening) {
    SetEditor("第一章\r\n正文");
    AltQ();
    SetEditor("打开后才改的");  // not what the panel captured

    EXPECT_EQ(Encrypt(), "亲!请先设置加密后的文件名\r\n\r\n软件会自动帮您完成[文件名.kkjx]后缀的加密文件!");
    ASSERT_TRUE(WriteFileBytes(Kkjx("旧稿"), {"x"}));
    Fill("旧稿", "");
    EXPECT_EQ(Encrypt(),
              "本程序检测到:\r\n\r\n在程序的运行目录下.\r\n\r\n已有  旧稿.kkjx  "
              "同名的加密文件\r\n\r\n请重新设置[加密文件名]");
    EXPECT_EQ(ToText(ReadFileBytes(Kkjx("旧稿"))), "x");
    Fill("新稿", "");
    EXPECT_EQ(Encrypt(), "亲!请先设置加密文件的密码\r\n\r\n密码最多只支持9位,超过部份无效.");
    // Every refusal leaves the panel open with the fields as typed.
    EXPECT_TRUE(Visible(加按钮));
    EXPECT_EQ(GetText(desktop_, 加M文件名, Property::kText), "新稿");

    // Longer than the box takes (pasted into a box without its limit): a file nobody could open.
    Fill("新稿", "0123456789");
    EXPECT_EQ(Encrypt(), "亲!密码太长了吧?.\r\n\r\n普通解密密码最多只支持9位");
    EXPECT_FALSE(FileExists(Kkjx("新稿")));

    Fill("新稿", "密码");
    EXPECT_EQ(Encrypt(), "恭喜你!文档加密成功\r\n\r\n加密后的： 新稿.kkjx 文件在本程序运行目录下");
    ExpectFieldsClosed();
    EXPECT_EQ(OpenKkjxFile(ReadFileBytes(Kkjx("新稿")), "密码"), std::optional<Text>("第一章\r\n正文"));
    EXPECT_EQ(EditorText(), "打开后才改的");
}

TEST_F(EncryptionPanelTest, BadFileNamesAreRefusedAndNothingIsWritten) {
    AltQ();
    for (const Text name : {"a\\b", "a/b", "a:b", "a*", "a?", "a\"b", "a<b", "a>b", "a|b", "a\x01", "稿.", "稿 ", "CON",
                            "con.txt", "Lpt9", "COM1.稿", "nul"}) {
        Fill(name, "pw");
        EXPECT_NE(Encrypt().find("请重新设置[加密文件名]"), Text::npos) << Show(name);
        EXPECT_TRUE(Visible(加按钮));
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir_.native())) {
        EXPECT_NE(entry.path().extension(), ".kkjx") << entry.path();
    }
}

TEST_F(EncryptionPanelTest, AFileThatCannotBeWrittenIsReportedAndThePanelStaysOpen) {
    SetEditor("正文");
    AltQ();
    Fill("稿", "pw");
    SetProgramDirectory(dir_.File("不存在"));
    const Text text = Encrypt();
    SetProgramDirectory(dir_.path());
    EXPECT_NE(text.find(dir_.File("不存在") + "\\稿.kkjx"), Text::npos) << Show(text);
    EXPECT_EQ(text.find("恭喜"), Text::npos);
    EXPECT_TRUE(Visible(加按钮));
    EXPECT_EQ(GetText(desktop_, 加M文件名, Property::kText), "稿");
    EXPECT_EQ(GetText(desktop_, 加解M框, Property::kText), "pw");
}

TEST_F(EncryptionPanelTest, DecryptChecksInOrder) {
    AltQ();
    EXPECT_EQ(Decrypt(), "请先选择要解密的文档\r\n\r\n[文件名.kkjx]是本程序专属的加密文件.");
    Choose(Kkjx("稿"));
    EXPECT_EQ(GetText(desktop_, 解M地址, Property::kText), Kkjx("稿"));
    const DialogRecord& dialog = desktop_.dialogs().back();
    EXPECT_EQ(dialog.kind, kDialogOpen);
    EXPECT_EQ(dialog.filter, "*.kkjx");
    EXPECT_EQ(dialog.default_extension, "*.kkjx");
    EXPECT_EQ(dialog.initial_directory, dir_.path());
    EXPECT_EQ(Decrypt(), "请先输入文档的解密密码\r\n\r\n密码最多只支持9位,超过部份无效.");
    EXPECT_EQ(GetText(desktop_, 解M地址, Property::kText), Kkjx("稿"));
    desktop_.SetProperty(加解M框, Property::kText, Text("0123456789"));
    EXPECT_EQ(Decrypt(), "亲!密码太长了吧?.\r\n\r\n普通解密密码最多只支持9位");
    EXPECT_TRUE(Visible(解m按钮));

    // A cancelled choice keeps the chosen path.
    desktop_.QueueFileDialogAnswer(std::nullopt);
    ASSERT_TRUE(desktop_.Click(路径按钮));
    EXPECT_EQ(GetText(desktop_, 解M地址, Property::kText), Kkjx("稿"));
}

TEST_F(EncryptionPanelTest, AWrongPasswordClosesTheFieldsAndKeepsTheEditor) {
    ASSERT_TRUE(WriteFileBytes(Kkjx("稿"), {BuildKkjxFile(Text("秘密"), "right", DateTime{2026, 1, 2, 3, 4, 5}, 7)}));
    SetEditor("原文");
    AltQ();
    Choose(Kkjx("稿"));
    desktop_.SetProperty(加解M框, Property::kText, Text("wrong"));
    EXPECT_EQ(Decrypt().find("抱歉　∵  您输入的密码好像不对.文档解密失败."), 0u);
    ExpectFieldsClosed();
    ASSERT_TRUE(desktop_.Click(返回超钮));
    EXPECT_EQ(EditorText(), "原文");
}

// Encrypt, then decrypt the file in the same run. The decrypted text waits for the editor's next
// focus, which comes back to it (through the main window) when the fields close under it.
class RoundTripTest : public EncryptionPanelTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RoundTripTest, TheDecryptedTextArrivesOnTheEditorsNextFocus) {
    const Text document = "第一章　起\r\n砚舟文匣 abc\r\n€";
    SetEditor(document);
    AltQ();
    Fill("往返", GetParam());
    Encrypt();
    ASSERT_TRUE(desktop_.Click(返回超钮));
    SetEditor("别的");

    AltQ();
    Choose(Kkjx("往返"));
    desktop_.SetProperty(加解M框, Property::kText, Text(GetParam()));
    desktop_.QueueMessageBoxAnswer(kResultOk);
    ASSERT_TRUE(desktop_.Click(解m按钮));
    EXPECT_EQ(LastMessageBox().text,
              "恭喜您!解密成功!文档已显示在主界面\r\n\r\n解密工作完成!请点[确定]关闭文档加密返回主界面!");
    ExpectFieldsClosed();
    EXPECT_EQ(desktop_.FocusedControl(), 主编框);
    EXPECT_EQ(EditorText(), document);
    const int end = static_cast<int>(document.size());
    EXPECT_EQ(desktop_.EditSelection(主编框), std::make_pair(end, end));
    EXPECT_EQ(desktop_.EditCaret(主编框), end);

    // Delivered once only.
    ASSERT_TRUE(desktop_.Click(返回超钮));
    SetEditor("再改");
    desktop_.SetFocus(作者列表);
    desktop_.SetFocus(主编框);
    EXPECT_EQ(EditorText(), "再改");
}

INSTANTIATE_TEST_SUITE_P(Passwords, RoundTripTest, ::testing::Values("1", "九个字节x", "&~ !"));

// Before a decrypted text replaces the editor, the text there is kept: in its document file when
// it has one, else in a rescue file (the auto-save file would be overwritten by the next Enter);
// the path is let go so a later Enter cannot write the decrypted text over that document.
TEST_F(EncryptionPanelTest, TheReplacedTextIsKeptFirstAndThePathIsLetGo) {
    ASSERT_TRUE(WriteFileBytes(Kkjx("稿"), {BuildKkjxFile(Text("解出来的"), "pw", DateTime{2026, 1, 2, 3, 4, 5}, 7)}));
    const Text document = dir_.File("文档.txt");
    ASSERT_TRUE(WriteFileBytes(document, {"旧"}));
    desktop_.QueueFileDialogAnswer(document);
    desktop_.QueuePopupMenuPick(Text("打开文档 Alt+D"));
    ASSERT_TRUE(desktop_.LeftButtonDown(操作标签));
    SetEditor("旧加新");

    AltQ();
    Choose(Kkjx("稿"));
    desktop_.SetProperty(加解M框, Property::kText, Text("pw"));
    Decrypt();
    ASSERT_TRUE(desktop_.Click(返回超钮));
    EXPECT_EQ(EditorText(), "解出来的");
    EXPECT_EQ(ToText(ReadFileBytes(document)), "旧加新");
    ASSERT_TRUE(desktop_.PressKey(主编框, vk::kReturn));
    EXPECT_EQ(ToText(ReadFileBytes(document)), "旧加新");
    EXPECT_TRUE(RescuedTexts().empty());

    SetEditor("没有路径的");
    AltQ();
    Decrypt();
    ASSERT_TRUE(desktop_.Click(返回超钮));
    EXPECT_EQ(EditorText(), "解出来的");
    EXPECT_NE(StatusLine().find("原有内容已另存到:" + dir_.File("砚舟文匣备份\\2026120")), Text::npos)
        << Show(StatusLine());
    ASSERT_TRUE(desktop_.PressKey(主编框, vk::kReturn));
    EXPECT_EQ(RescuedTexts(), std::vector<Text>{"没有路径的"});
}

TEST_F(EncryptionPanelTest, TheCheckBoxShowsThePasswordInClear) {
    AltQ();
    ASSERT_TRUE(desktop_.Click(显隐选框));
    EXPECT_EQ(InputMode(加解M框), kInputNormal);
    EXPECT_EQ(desktop_.FocusedControl(), 加解M框);
    ASSERT_TRUE(desktop_.Click(显隐选框));
    EXPECT_EQ(InputMode(加解M框), kInputMasked);
}

TEST_F(EncryptionPanelTest, TheHiddenForcedDecryptionButtonTogglesThePanel) {
    AltQ();
    ASSERT_TRUE(desktop_.RaiseEvent(Event{EventKind::kClicked, 强制解析}));
    EXPECT_FALSE(Visible(加按钮));
    EXPECT_FALSE(Disabled(主编框));
}

}  // namespace
}  // namespace yz::test
