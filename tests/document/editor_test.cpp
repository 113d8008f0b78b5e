#include <gtest/gtest.h>

#include "app/program_fixture.h"
#include "runtime/files.h"
#include "support/test_text.h"

namespace yz::test {
namespace {

using namespace ui;

constexpr int kEnter = 13;
constexpr int kBackspace = 8;

class EditorTest : public ProgramTest {
  protected:
    void SetUp() override { ASSERT_TRUE(Start()); }

    Text Counts(int paragraphs, const char* characters) const {
        return "砚舟文匣 v4.2 --霁川软件 当前文档共计:  " + std::to_string(paragraphs) +
               "  个段落,总字数为:  " + characters;
    }
};

TEST_F(EditorTest, TypingUpdatesTheCountsOnEveryChange) {
    ASSERT_TRUE(desktop_.TypeText(主编框, "a"));
    EXPECT_EQ(StatusLine(), Counts(1, "0.5")) << Show(StatusLine());
    ASSERT_TRUE(desktop_.TypeText(主编框, "b"));
    EXPECT_EQ(StatusLine(), Counts(1, "1"));
    desktop_.SetProperty(主编框, Property::kText, Text("砚舟 文匣"));
    EXPECT_EQ(StatusLine(), Counts(1, "4"));
}

TEST_F(EditorTest, EnterCountsALineBreakAndSavesTheTextBeforeIt) {
    ASSERT_TRUE(desktop_.TypeText(主编框, "砚"));
    ASSERT_TRUE(desktop_.PressKey(主编框, kEnter));
    EXPECT_EQ(EditorText(), "砚\r\n");
    // The saved text is the one before the break: two bytes.
    EXPECT_EQ(ReadFileBytes(dir_.File("砚舟文匣自动存档")).size(), 2u);
    ASSERT_TRUE(desktop_.PressKey(主编框, kEnter));
    ASSERT_TRUE(desktop_.TypeText(主编框, "舟"));
    EXPECT_EQ(StatusLine(), Counts(3, "2")) << Show(StatusLine());
}

TEST_F(EditorTest, BackspaceTakesTheLineBreakCountFromTheParagraphs) {
    ASSERT_TRUE(desktop_.TypeText(主编框, "ab\r\n\r\n"));
    EXPECT_EQ(StatusLine(), Counts(2, "1"));
    // Selecting everything and deleting it leaves the count of two Enters behind.
    ASSERT_TRUE(desktop_.SelectEditText(主编框, 0, static_cast<int>(EditorText().size())));
    desktop_.SetProperty(主编框, Property::kText, Text());
    EXPECT_EQ(StatusLine(), Counts(0, "-2"));
    // Backspace sets the count to the paragraphs of the last statistics minus one.
    ASSERT_TRUE(desktop_.TypeText(主编框, "x"));
    ASSERT_TRUE(desktop_.PressKey(主编框, kBackspace));
    EXPECT_EQ(EditorText(), "");
    EXPECT_EQ(StatusLine(), Counts(0, "0"));
}

TEST_F(EditorTest, PasteLeavesTheLineBreakCountAsItWas) {
    desktop_.SetClipboard("一\r\n二\r\n三");
    desktop_.QueuePopupMenuPick(Text("粘贴字符"));
    ASSERT_TRUE(desktop_.LeftButtonDown(编辑标签));
    EXPECT_EQ(EditorText(), "一\r\n二\r\n三");
    // 10 bytes / 2 with no counted line breaks: off by the two pasted ones until a Backspace.
    EXPECT_EQ(StatusLine(), Counts(3, "5"));
    // Backspace counts 3 - 1 line breaks, then deletes the last character.
    ASSERT_TRUE(desktop_.PressKey(主编框, kBackspace));
    EXPECT_EQ(StatusLine(), Counts(2, "2")) << Show(StatusLine());
}

TEST_F(EditorTest, ClearTextAnsweredNoChangesNothingAndYesEmptiesEverything) {
    ASSERT_TRUE(desktop_.TypeText(主编框, "ab\r\ncd"));
    desktop_.QueueMessageBoxAnswer(kResultNo);
    ASSERT_TRUE(desktop_.PressGlobalKey(46));
    EXPECT_EQ(LastMessageBox().text,
              "是否真的要清空当前文本?\r\n\r\n[是] 清空当前所有文本\r\n\r\n[否] 纯属手误返回当前文本");
    EXPECT_EQ(LastMessageBox().flags & 0xF, kMbYesNo);
    EXPECT_EQ(EditorText(), "ab\r\ncd");

    desktop_.ListBoxInsert(段落列表, 0, "line", 0);
    desktop_.QueueMessageBoxAnswer(kResultYes);
    desktop_.QueuePopupMenuPick(Text("清空字符"));
    ASSERT_TRUE(desktop_.LeftButtonDown(编辑标签));
    EXPECT_EQ(EditorText(), "");
    EXPECT_TRUE(desktop_.ListBoxLines(段落列表).empty());
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 ⊙△⊙ 亲    已为您清空了统计数据!!!");
    ASSERT_TRUE(desktop_.TypeText(主编框, "z"));
    EXPECT_EQ(StatusLine(), Counts(1, "0.5"));  // the line-break count is 0 again
}

TEST_F(EditorTest, EditCommandsInjectControlChords) {
    for (const auto& [caption, key] : {std::pair{"撤消操作", 'Z'}, {"剪切字符", 'X'}, {"复制字符", 'C'}}) {
        desktop_.QueuePopupMenuPick(Text(caption));
        ASSERT_TRUE(desktop_.LeftButtonDown(编辑标签));
        EXPECT_EQ(desktop_.simulated_keys().back(), (std::vector<int>{17, key})) << caption;
    }
}

}  // namespace
}  // namespace yz::test
