#include <gtest/gtest.h>

#include "app/program_fixture.h"
#include "runtime/files.h"
#include "support/test_text.h"

namespace yz::test {
namespace {

using namespace ui;

class DocumentFilesTest : public ProgramTest {
  protected:
    void SetUp() override { ASSERT_TRUE(Start()); }

    void Pick(const char* caption, const char* menu_label_caption = "操作菜单") {
        desktop_.QueuePopupMenuPick(Text(caption));
        const ControlRef& label = Text(menu_label_caption) == "功能菜单" ? 功能标签 : 操作标签;
        ASSERT_TRUE(desktop_.LeftButtonDown(label));
    }
    void Type(const Text& text) { ASSERT_TRUE(desktop_.TypeText(主编框, text)); }
    Text FileText(const Text& path) const { return ToTextOf(ReadFileBytes(path)); }
    static Text ToTextOf(const Bytes& bytes) { return Text(bytes.begin(), bytes.end()); }
    void SetEditor(const Text& text) { desktop_.SetProperty(主编框, Property::kText, text); }
};

TEST_F(DocumentFilesTest, SaveAlwaysAsksForThePathAndTakesItOver) {
    SetEditor("第一章\r\n正文");
    const Text path = dir_.File("第一章.txt");
    desktop_.QueueFileDialogAnswer(path);
    Pick("保存文档 Alt+S");
    EXPECT_EQ(FileText(path), "第一章\r\n正文");
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 恭喜：保存成功！地址为:" + path);
    const DialogRecord& dialog = desktop_.dialogs().back();
    EXPECT_EQ(dialog.kind, kDialogSave);
    EXPECT_EQ(dialog.filter, "*.txt");
    EXPECT_EQ(dialog.default_extension, "*.txt");
    EXPECT_EQ(dialog.initial_directory, dir_.path());

    // Cancelled: the path stays, so Enter still writes the document file.
    desktop_.QueueFileDialogAnswer(std::nullopt);
    Pick("保存文档 Alt+S");
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 注意:您放弃了[保存文档]");
    SetEditor("改过的正文");
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    EXPECT_EQ(FileText(path), "改过的正文");
}

TEST_F(DocumentFilesTest, FailedSaveIsReportedAndKeepsThePreviousPath) {
    SetEditor("text");
    const Text unwritable = dir_.File("missing\\a.txt");
    desktop_.QueueFileDialogAnswer(unwritable);
    desktop_.QueueMessageBoxAnswer(kResultOk);
    Pick("保存文档 Alt+S");
    EXPECT_EQ(LastMessageBox().caption, "提示：");
    EXPECT_NE(LastMessageBox().text.find(unwritable), Text::npos);
    EXPECT_EQ(StatusLine().find("恭喜"), Text::npos);
    // No path was taken over: Enter goes to the auto-save file.
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    EXPECT_EQ(ReadFileBytes(dir_.File("砚舟文匣自动存档")).size(), 4u);
}

TEST_F(DocumentFilesTest, NewAsksOnlyForAChangedDocumentAndTruncatesTheChosenFile) {
    const Text existing = dir_.File("旧稿.txt");
    ASSERT_TRUE(WriteFileBytes(existing, {"旧的内容"}));
    // Unchanged (equal to the file on disk): no question.
    desktop_.QueueFileDialogAnswer(existing);
    Pick("打开文档 Alt+D");
    desktop_.QueueFileDialogAnswer(existing);
    Pick("新建文档 Alt+A");
    EXPECT_EQ(desktop_.message_boxes().size(), 0u);
    EXPECT_EQ(ReadFileBytes(existing).size(), 0u);
    EXPECT_EQ(EditorText(), "");
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 恭喜：文档建立成功！地址为:" + existing);

    // Changed: the question, and Yes saves through the auto-save rule into the current file.
    Type("新写的");
    const Text next = dir_.File("新稿.txt");
    desktop_.QueueMessageBoxAnswer(kResultYes);
    desktop_.QueueFileDialogAnswer(next);
    Pick("新建文档 Alt+A");
    EXPECT_EQ(LastMessageBox().text, "程序检测到当前文档\r\n\r\n已发生改动.\r\n\r\n是否对当前文档进行自动保存？");
    EXPECT_EQ(LastMessageBox().caption, "提示：");
    EXPECT_EQ(FileText(existing), "新写的");
    EXPECT_TRUE(FileExists(next));
}

TEST_F(DocumentFilesTest, CancelledNewForgetsThePathSoEnterCannotOverwriteTheOldDocument) {
    const Text document = dir_.File("稿.txt");
    ASSERT_TRUE(WriteFileBytes(document, {"原稿"}));
    desktop_.QueueFileDialogAnswer(document);
    Pick("打开文档 Alt+D");
    desktop_.QueueFileDialogAnswer(std::nullopt);
    Pick("新建文档 Alt+A");
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 注意:您取消了[新建文档]操作.");
    Type("另起一篇");
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    EXPECT_EQ(FileText(document), "原稿");
}

TEST_F(DocumentFilesTest, FailedNewForgetsThePathSoEnterCannotOverwriteTheOldDocument) {
    const Text document = dir_.File("稿.txt");
    ASSERT_TRUE(WriteFileBytes(document, {"原稿"}));
    desktop_.QueueFileDialogAnswer(document);
    Pick("打开文档 Alt+D");
    const Text unwritable = dir_.File("missing\\新.txt");
    desktop_.QueueFileDialogAnswer(unwritable);
    desktop_.QueueMessageBoxAnswer(kResultOk);
    Pick("新建文档 Alt+A");
    EXPECT_EQ(LastMessageBox().caption, "提示：");
    Type("另起一篇");
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    EXPECT_EQ(FileText(document), "原稿");
}

// The dialog's file-name field gets the last name only: a full path there would be taken as the
// folder to start in, instead of the program directory the command gives. The name typed gets the
// pattern's extension, as the system's dialog adds it.
TEST_F(DocumentFilesTest, TheDialogStartsInTheProgramDirectoryAndAddsTheExtension) {
    SetEditor("正文");
    desktop_.QueueFileDialogAnswer(dir_.File("稿"));
    Pick("保存文档 Alt+S");
    EXPECT_EQ(FileText(dir_.File("稿.txt")), "正文");
    desktop_.QueueFileDialogAnswer(std::nullopt);
    Pick("保存文档 Alt+S");
    const DialogRecord& second = desktop_.dialogs().back();
    EXPECT_EQ(second.file_name, "稿.txt");
    EXPECT_EQ(second.initial_directory, dir_.path());
}

TEST_F(DocumentFilesTest, OpenAsksOverTextAndReadsUpToTheFirstZeroByte) {
    const Text path = dir_.File("a.txt");
    ASSERT_TRUE(WriteFileBytes(path, {Bytes{'o', 'k', 0, 'x'}}));
    // An empty editor: straight to the dialog.
    desktop_.QueueFileDialogAnswer(path);
    Pick("打开文档 Alt+D");
    EXPECT_EQ(EditorText(), "ok");
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 [打开文档]成功!地址为:" + path);
    EXPECT_TRUE(desktop_.message_boxes().empty());

    desktop_.QueueMessageBoxAnswer(kResultNo);
    Pick("打开文档 Alt+D");
    EXPECT_EQ(LastMessageBox().caption, "温馨提示：");
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 您放弃了[打开文档]操作");

    desktop_.QueueMessageBoxAnswer(kResultYes);
    desktop_.QueueFileDialogAnswer(std::nullopt);
    Pick("打开文档 Alt+D");
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 您放弃了[打开文档]操作");
    EXPECT_EQ(EditorText(), "ok");
}

TEST_F(DocumentFilesTest, AddAppendsWithoutSeparatorAndKeepsThePath) {
    const Text first = dir_.File("1.txt");
    const Text second = dir_.File("2.txt");
    ASSERT_TRUE(WriteFileBytes(first, {"甲"}));
    ASSERT_TRUE(WriteFileBytes(second, {"乙\r\n"}));
    desktop_.QueueFileDialogAnswer(first);
    Pick("打开文档 Alt+D");
    const Text status = StatusLine();
    desktop_.QueueFileDialogAnswer(second);
    Pick("添加文档 Alt+F");
    EXPECT_EQ(EditorText(), "甲乙\r\n");
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    EXPECT_EQ(FileText(first), "甲乙\r\n");
    desktop_.QueueFileDialogAnswer(std::nullopt);
    Pick("添加文档 Alt+F");
    EXPECT_EQ(EditorText(), "甲乙\r\n\r\n");
}

class ExitCheckTest : public DocumentFilesTest {
  protected:
    const char* kChangedQuestion = "程序检测到 您的文档\r\n\r\n已发生更改 尚未保存\r\n\r\n是否对当前文档进行保存？";
    const char* kExitQuestion = "为防止手误操作.确认您是否真的要关闭退出?\r\n\r\n选[是]确定退出.选[否]放弃返回";
};

TEST_F(ExitCheckTest, EmptyEditorAsksOnlyTheExitQuestion) {
    desktop_.QueueMessageBoxAnswer(kResultNo);
    ASSERT_TRUE(desktop_.LeftButtonDown(关闭标签));
    EXPECT_EQ(LastMessageBox().text, kExitQuestion);
    EXPECT_EQ(LastMessageBox().caption, "退出确认：");
    EXPECT_FALSE(desktop_.ended());
    EXPECT_EQ(GetNumber(desktop_, 关闭标签, Property::kTextColour), kRed);
    EXPECT_EQ(GetNumber(desktop_, 操作标签, Property::kTextColour), kBlue);

    desktop_.QueueMessageBoxAnswer(kResultYes);
    desktop_.RequestClose(kMainWindow);
    EXPECT_TRUE(desktop_.ended());
    EXPECT_EQ(desktop_.exit_code(), 0);
}

TEST_F(ExitCheckTest, UnsavedTextAnsweredNoEndsWithoutSaving) {
    Type("没存的字");
    desktop_.QueueMessageBoxAnswer(kResultNo);
    desktop_.RequestClose(kMainWindow);
    EXPECT_EQ(LastMessageBox().text, kChangedQuestion);
    EXPECT_EQ(LastMessageBox().caption, "提示：");
    EXPECT_TRUE(desktop_.ended());
}

TEST_F(ExitCheckTest, UnsavedTextAnsweredYesSavesThenEnds) {
    Type("要存的字");
    const Text path = dir_.File("存.txt");
    desktop_.QueueMessageBoxAnswer(kResultYes);
    desktop_.QueueFileDialogAnswer(path);
    desktop_.RequestClose(kMainWindow);
    EXPECT_EQ(FileText(path), "要存的字");
    EXPECT_TRUE(desktop_.ended());
}

TEST_F(ExitCheckTest, TextEqualToTheLastChosenFileCountsAsUnchanged) {
    const Text path = dir_.File("同.txt");
    ASSERT_TRUE(WriteFileBytes(path, {"一样"}));
    desktop_.QueueFileDialogAnswer(path);
    Pick("打开文档 Alt+D");
    desktop_.QueueMessageBoxAnswer(kResultYes);
    desktop_.RequestClose(kMainWindow);
    EXPECT_EQ(LastMessageBox().text, kExitQuestion);
    EXPECT_TRUE(desktop_.ended());
}

TEST_F(ExitCheckTest, CancelledOrFailedSaveKeepsTheProgramAndTheText) {
    Type("珍贵的草稿");
    desktop_.QueueMessageBoxAnswer(kResultYes);
    desktop_.QueueFileDialogAnswer(std::nullopt);
    desktop_.RequestClose(kMainWindow);
    EXPECT_FALSE(desktop_.ended());
    EXPECT_EQ(EditorText(), "珍贵的草稿");

    desktop_.QueueMessageBoxAnswer(kResultYes);
    desktop_.QueueFileDialogAnswer(dir_.File("no-such-dir\\x.txt"));
    desktop_.QueueMessageBoxAnswer(kResultOk);  // the write failure
    ASSERT_TRUE(desktop_.LeftButtonDown(关闭标签));
    EXPECT_FALSE(desktop_.ended());
    EXPECT_EQ(EditorText(), "珍贵的草稿");
}

}  // namespace
}  // namespace yz::test
