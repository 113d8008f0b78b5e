#include <gtest/gtest.h>

#include "app/program_fixture.h"
#include "runtime/convert.h"
#include "runtime/files.h"
#include "runtime/headless/headless_keys.h"
#include "support/test_text.h"

namespace yz::test {
namespace {

using namespace ui;

// RC4 written out again here, so the auto-save file is checked against an independent cipher.
Bytes ReferenceRc4(const Text& key, const Bytes& data) {
    unsigned char s[256];
    for (int i = 0; i < 256; ++i) {
        s[i] = static_cast<unsigned char>(i);
    }
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + static_cast<unsigned char>(key[static_cast<std::size_t>(i) % key.size()])) & 255;
        std::swap(s[i], s[j]);
    }
    Bytes out;
    for (int n = 0, i = 0, j = 0; n < static_cast<int>(data.size()); ++n) {
        i = (i + 1) & 255;
        j = (j + s[i]) & 255;
        std::swap(s[i], s[j]);
        out.push_back(static_cast<std::uint8_t>(data[static_cast<std::size_t>(n)] ^ s[(s[i] + s[j]) & 255]));
    }
    return out;
}

class AutoSaveTest : public ProgramTest {
  protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
    Text AutoSavePath() const { return dir_.File("砚舟文匣自动存档"); }
    void ReadAutoSave() {
        desktop_.QueuePopupMenuPick(Text("读取自存 Alt+R"));
        ASSERT_TRUE(desktop_.LeftButtonDown(功能标签));
    }
};

TEST_F(AutoSaveTest, EnterEncryptsTheTextWithoutTheBreak) {
    ASSERT_TRUE(desktop_.TypeText(主编框, "砚舟文"));
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    const Bytes saved = ReadFileBytes(AutoSavePath());
    ASSERT_EQ(saved.size(), 6u);
    const Bytes plain = ReferenceRc4("pwtm3842vbnshd1795pwtm", saved);
    EXPECT_EQ(Text(plain.begin(), plain.end()), "砚舟文");
}

// Alt+R reads the auto-save file and leaves it as it was; a text no file holds (typed since the
// last Enter, pasted) goes into a rescue file first, named on the status line.
TEST_F(AutoSaveTest, ReadBringsItBackAndRescuesWhatItReplaces) {
    ASSERT_TRUE(desktop_.TypeText(主编框, "第一段"));
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    const Bytes saved = ReadFileBytes(AutoSavePath());
    ASSERT_TRUE(desktop_.PressGlobalKey('R', vk::kAlt));
    EXPECT_EQ(EditorText(), "第一段");
    EXPECT_TRUE(RescuedTexts().empty()) << "the text was the auto-save's own";

    desktop_.SetProperty(主编框, Property::kText, Text("第一段又打的字"));
    ASSERT_TRUE(desktop_.PressGlobalKey('R', vk::kAlt));
    EXPECT_EQ(EditorText(), "第一段");
    desktop_.SetProperty(主编框, Property::kText, Text("粘贴的一章"));
    ReadAutoSave();
    EXPECT_EQ(EditorText(), "第一段");
    EXPECT_EQ(ReadFileBytes(AutoSavePath()), saved);
    EXPECT_EQ(RescuedTexts(), (std::vector<Text>{"第一段又打的字", "粘贴的一章"}));
    EXPECT_NE(StatusLine().find("原有内容已另存到:" + dir_.File("砚舟文匣备份\\2026120")), Text::npos)
        << Show(StatusLine());
    desktop_.SetProperty(主编框, Property::kText, Text());
    ReadAutoSave();
    EXPECT_EQ(RescuedTexts().size(), 2u) << "an empty editor needs no rescue";
}

// When the rescue cannot be written, the editor keeps its text and the writer is told.
TEST_F(AutoSaveTest, AFailedRescueLeavesTheEditorAsItWas) {
    ASSERT_TRUE(desktop_.TypeText(主编框, "第一段"));
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    const Bytes saved = ReadFileBytes(AutoSavePath());
    ASSERT_TRUE(WriteFileBytes(dir_.File("砚舟文匣备份"), {"a file where the folder goes"}));
    desktop_.SetProperty(主编框, Property::kText, Text("唯一的副本"));
    desktop_.QueueMessageBoxAnswer(kResultOk);
    ReadAutoSave();
    EXPECT_EQ(EditorText(), "唯一的副本");
    EXPECT_EQ(LastMessageBox().caption, "提示：");
    EXPECT_NE(LastMessageBox().text.find(dir_.File("砚舟文匣备份")), Text::npos) << Show(LastMessageBox().text);
    EXPECT_EQ(ReadFileBytes(AutoSavePath()), saved);
}

// After Open, the opened text is saved into its file before the restored text replaces it, and the
// path is let go: the next Enter must not put the restored text over the opened document.
TEST_F(AutoSaveTest, ReadAfterOpenSavesTheDocumentAndLetsGoOfItsPath) {
    ASSERT_TRUE(desktop_.TypeText(主编框, "第一段"));
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    const Text path = dir_.File("稿.txt");
    ASSERT_TRUE(WriteFileBytes(path, {"旧"}));
    desktop_.QueueMessageBoxAnswer(kResultYes);
    desktop_.QueueFileDialogAnswer(path);
    desktop_.QueuePopupMenuPick(Text("打开文档 Alt+D"));
    ASSERT_TRUE(desktop_.LeftButtonDown(操作标签));
    desktop_.SetProperty(主编框, Property::kText, Text("旧新"));
    const Bytes saved = ReadFileBytes(AutoSavePath());
    ReadAutoSave();
    EXPECT_EQ(EditorText(), "第一段");
    EXPECT_EQ(ToText(ReadFileBytes(path)), "旧新");
    EXPECT_EQ(ReadFileBytes(AutoSavePath()), saved);
    EXPECT_TRUE(RescuedTexts().empty()) << "the document file holds the text";
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    EXPECT_EQ(ToText(ReadFileBytes(path)), "旧新");
}

TEST_F(AutoSaveTest, AMissingOrEmptyAutoSaveFileLeavesTheEditorAlone) {
    desktop_.SetProperty(主编框, Property::kText, Text("abc"));
    ReadAutoSave();
    EXPECT_EQ(EditorText(), "abc");
    ASSERT_TRUE(WriteFileBytes(AutoSavePath(), {""}));
    ReadAutoSave();
    EXPECT_EQ(EditorText(), "abc");
}

TEST_F(AutoSaveTest, EmptyEditorWithoutPathKeepsTheWritersLastCopy) {
    ASSERT_TRUE(desktop_.TypeText(主编框, "唯一的副本"));
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    desktop_.SetProperty(主编框, Property::kText, Text());
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    EXPECT_EQ(ReadFileBytes(AutoSavePath()).size(), 10u);
}

TEST_F(AutoSaveTest, EmptyEditorWithADocumentKeepsTheAutoSaveAndTheDocument) {
    ASSERT_TRUE(desktop_.TypeText(主编框, "自存"));
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    const Text path = dir_.File("稿.txt");
    desktop_.QueueFileDialogAnswer(path);
    desktop_.QueuePopupMenuPick(Text("保存文档 Alt+S"));
    ASSERT_TRUE(desktop_.LeftButtonDown(操作标签));
    desktop_.SetProperty(主编框, Property::kText, Text());
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    EXPECT_EQ(ReadFileBytes(AutoSavePath()).size(), 4u);
    EXPECT_EQ(ReadFileBytes(path).size(), 6u);
}

TEST_F(AutoSaveTest, FailedWriteIsReportedInsteadOfTheSuccessStatus) {
    const Text path = dir_.File("只读.txt");
    desktop_.QueueFileDialogAnswer(path);
    desktop_.QueuePopupMenuPick(Text("保存文档 Alt+S"));
    desktop_.SetProperty(主编框, Property::kText, Text("x"));
    ASSERT_TRUE(desktop_.LeftButtonDown(操作标签));
    ASSERT_TRUE(SetFileAttributes(path, kAttributeReadOnly));
    desktop_.QueueMessageBoxAnswer(kResultOk);
    ASSERT_TRUE(desktop_.PressKey(主编框, 13));
    EXPECT_EQ(LastMessageBox().caption, "提示：");
    EXPECT_NE(LastMessageBox().text.find(path), Text::npos);
    const Bytes kept = ReadFileBytes(path);
    EXPECT_EQ(Text(kept.begin(), kept.end()), "x");
}

TEST_F(AutoSaveTest, HelpText) {
    desktop_.QueueMessageBoxAnswer(kResultOk);
    desktop_.QueuePopupMenuPick(Text("自动保存 [说明]"));
    ASSERT_TRUE(desktop_.LeftButtonDown(帮助标签));
    EXPECT_EQ(LastMessageBox().caption, "功能说明:");
    EXPECT_EQ(LastMessageBox().text.find("[Enter]键     段落换行自动保存\r\n\r\n"), 0u);
}

}  // namespace
}  // namespace yz::test
