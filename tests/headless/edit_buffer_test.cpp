#include "runtime/headless/headless_edit.h"

#include <gtest/gtest.h>

#include "support/test_text.h"

namespace yz {
namespace {

class EditBufferTest : public ::testing::Test {
  protected:
    // Text with the caret at the end.
    void Start(const Text& text) {
        edit_.SetText(text);
        edit_.Select(static_cast<int>(text.size()), static_cast<int>(text.size()));
    }

    EditBuffer edit_;
};

TEST_F(EditBufferTest, BackspaceRemovesAWholeDoubleByteCharacter) {
    Start("a中");
    EXPECT_TRUE(edit_.Backspace());
    EXPECT_EQ(edit_.text(), "a");
    EXPECT_EQ(edit_.caret(), 1);
}

TEST_F(EditBufferTest, BackspaceRemovesALineBreakAsOnePair) {
    Start("ab\r\n");
    EXPECT_TRUE(edit_.Backspace());
    EXPECT_EQ(edit_.text(), "ab");
}

TEST_F(EditBufferTest, DeleteRemovesTheCharacterAfterTheCaret) {
    edit_.SetText("\r\n文x");
    EXPECT_TRUE(edit_.DeleteForward());
    EXPECT_EQ(edit_.text(), "文x");
    EXPECT_TRUE(edit_.DeleteForward());
    EXPECT_EQ(edit_.text(), "x");
}

TEST_F(EditBufferTest, NothingToDeleteAtTheEnds) {
    Start("ab");
    EXPECT_FALSE(edit_.DeleteForward());
    edit_.Select(0, 0);
    EXPECT_FALSE(edit_.Backspace());
    EXPECT_EQ(edit_.text(), "ab");
}

TEST_F(EditBufferTest, PositionsNeverFallInsideACharacterOrALineBreak) {
    edit_.SetText("a中\r\nb");
    edit_.Select(2, 2);
    EXPECT_EQ(edit_.caret(), 1);
    edit_.Select(4, 4);
    EXPECT_EQ(edit_.caret(), 3);
    EXPECT_EQ(NextCharacter(edit_.text(), 3), 5);
    EXPECT_EQ(PreviousCharacter(edit_.text(), 5), 3);
    // 0x80 (octal 200) and 0xFF (octal 377) are characters of one byte.
    EXPECT_EQ(NextCharacter("\200ab", 0), 1);
    EXPECT_EQ(CutToBytes("\377ab", 1), "\377");
}

TEST_F(EditBufferTest, TypingThatWouldPassTheLimitIsRefusedWhole) {
    edit_.SetLimit(4);
    Start("abc");
    EXPECT_FALSE(edit_.Type("中"));
    EXPECT_EQ(edit_.text(), "abc");
    EXPECT_TRUE(edit_.Type("d"));
    EXPECT_FALSE(edit_.Type("e"));
    EXPECT_EQ(edit_.text(), "abcd");
}

TEST_F(EditBufferTest, TypingOverASelectionCountsTheRoomItFrees) {
    edit_.SetLimit(4);
    Start("abcd");
    edit_.Select(0, 2);
    EXPECT_TRUE(edit_.Type("中"));
    EXPECT_EQ(edit_.text(), "中cd");
}

TEST_F(EditBufferTest, TextSetByTheProgramIsNotLimited) {
    edit_.SetLimit(2);
    edit_.SetText("abcdef");
    EXPECT_EQ(edit_.text(), "abcdef");
    EXPECT_EQ(edit_.caret(), 0);
}

TEST_F(EditBufferTest, PasteAndAppendAreCutAtACharacterBoundary) {
    edit_.SetLimit(5);
    Start("ab");
    EXPECT_TRUE(edit_.Paste("中文x"));
    EXPECT_EQ(edit_.text(), "ab中");
    EXPECT_FALSE(edit_.Append("文"));
    EXPECT_TRUE(edit_.Append("xyz"));
    EXPECT_EQ(edit_.text(), "ab中x");
    EXPECT_EQ(CutToBytes("中文", 3), "中");
}

TEST_F(EditBufferTest, UndoTakesBackAWholeRunOfTypingAndAgainRedoesIt) {
    Start("x");
    edit_.Type("a");
    edit_.Type("b");
    EXPECT_TRUE(edit_.Undo());
    EXPECT_EQ(edit_.text(), "x");
    EXPECT_TRUE(edit_.Undo());
    EXPECT_EQ(edit_.text(), "xab");
}

TEST_F(EditBufferTest, MovingTheCaretEndsTheTypingRun) {
    Start("");
    edit_.Type("a");
    edit_.MoveLeft(false);
    edit_.Type("b");
    EXPECT_TRUE(edit_.Undo());
    EXPECT_EQ(edit_.text(), "a");
}

TEST_F(EditBufferTest, TextSetByTheProgramForgetsTheUndoStep) {
    Start("");
    edit_.Type("a");
    edit_.SetText("new");
    EXPECT_FALSE(edit_.Undo());
    EXPECT_EQ(edit_.text(), "new");
}

TEST_F(EditBufferTest, HomeAndEndKeepToTheCaretsLine) {
    Start("one\r\ntwo\r\nthree");
    edit_.Select(6, 6);
    edit_.MoveHome(false, false);
    EXPECT_EQ(edit_.caret(), 5);
    edit_.MoveEnd(true, false);
    EXPECT_EQ(edit_.SelectedText(), "two");
    edit_.MoveEnd(false, true);
    EXPECT_EQ(edit_.caret(), 15);
}

}  // namespace
}  // namespace yz
