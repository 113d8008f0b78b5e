// Edit boxes played by the writer: the order of key-down, effect and content-changed, the byte
// limit, line breaks, double-byte characters and the Ctrl shortcuts.

#include "headless/headless_test_support.h"
#include "runtime/headless/headless_keys.h"
#include "support/desktop_fixture.h"

namespace yz::test {
namespace {

const ControlRef kNote{"main", "note"};
const ControlRef kLine{"main", "line"};
const ControlRef kPaste{"main", "paste"};

class EditBoxTest : public DesktopTest {
  protected:
    void SetUp() override {
        ControlTemplate note = MakeControl(ControlKind::kEditBox, "note", 1);
        note.multi_line = true;
        note.input_limit = 6;
        ControlTemplate line = MakeControl(ControlKind::kEditBox, "line", 2);
        ASSERT_TRUE(desktop_.LoadWindow(MakeWindow("main", {note, line, MakeControl(ControlKind::kButton, "paste", 3)}),
                                        {}, false));
    }

    Text TextOf(const ControlRef& ref) const { return GetText(desktop_, ref, Property::kText); }

    EventLog log_{desktop_};
};

TEST_F(EditBoxTest, SettingTheTextRaisesContentChangedBeforeReturningEvenWhenEqual) {
    int changes = 0;
    desktop_.Bind(kLine, EventKind::kContentChanged, [&](const Event&) {
        ++changes;
        return true;
    });
    desktop_.SetProperty(kLine, Property::kText, Text("same"));
    EXPECT_EQ(changes, 1);
    desktop_.SetProperty(kLine, Property::kText, Text("same"));
    EXPECT_EQ(changes, 2);
    desktop_.EditAppend(kLine, "!");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(TextOf(kLine), "same!");
    EXPECT_EQ(desktop_.EditCaret(kLine), 5);
}

TEST_F(EditBoxTest, TheTextReadInPlaceIsTheNewTextInEveryContentChangedHandler) {
    std::vector<Text> seen;
    desktop_.Bind(kLine, EventKind::kContentChanged, [&](const Event&) {
        seen.emplace_back(desktop_.EditText(kLine));
        return true;
    });
    desktop_.SetProperty(kLine, Property::kText, Text("ab"));
    ASSERT_TRUE(desktop_.TypeText(kLine, "中"));
    desktop_.EditAppend(kLine, "!");
    ASSERT_TRUE(desktop_.PressKey(kLine, vk::kBack));
    EXPECT_EQ(seen, (std::vector<Text>{"ab", "中ab", "中ab!", "中ab"}));  // a set text puts the caret first
    desktop_.SetProperty(kPaste, Property::kText, Text("caption"));
    EXPECT_TRUE(desktop_.EditText(kPaste).empty());  // a button's caption is no edit text
}

TEST_F(EditBoxTest, TextSetByTheProgramIgnoresTheLimit) {
    desktop_.SetProperty(kNote, Property::kText, Text("0123456789"));
    EXPECT_EQ(TextOf(kNote), "0123456789");
}

TEST_F(EditBoxTest, KeyDownSeesTheTextBeforeTheKeyTakesEffect) {
    std::vector<Text> seen;
    desktop_.Bind(kLine, EventKind::kKeyDown, [&](const Event&) {
        seen.push_back(TextOf(kLine));
        return true;
    });
    log_.Watch(kLine, {EventKind::kCharacter, EventKind::kContentChanged, EventKind::kKeyUp});
    ASSERT_TRUE(desktop_.TypeText(kLine, "ab"));
    EXPECT_EQ(seen, (std::vector<Text>{"", "a"}));
    EXPECT_EQ(log_.lines(), (std::vector<std::string>{"line:Character", "line:ContentChanged", "line:KeyUp",
                                                      "line:Character", "line:ContentChanged", "line:KeyUp"}));
    EXPECT_EQ(TextOf(kLine), "ab");
}

TEST_F(EditBoxTest, ASwallowedKeyHasNoEffect) {
    desktop_.Bind(kLine, EventKind::kKeyDown, [](const Event& event) { return event.a != 'B'; });
    log_.Watch(kLine, {EventKind::kCharacter});
    ASSERT_TRUE(desktop_.TypeText(kLine, "abc"));
    EXPECT_EQ(TextOf(kLine), "ac");
    EXPECT_EQ(log_.lines().size(), 2u);
}

TEST_F(EditBoxTest, TypingPastTheLimitInBytesIsRefused) {
    int changes = 0;
    desktop_.Bind(kNote, EventKind::kContentChanged, [&](const Event&) {
        ++changes;
        return true;
    });
    ASSERT_TRUE(desktop_.TypeText(kNote, "中文a中b"));
    EXPECT_EQ(TextOf(kNote), "中文ab");
    EXPECT_EQ(changes, 4);
}

TEST_F(EditBoxTest, EnterBreaksTheLineOnlyInAMultiLineBox) {
    desktop_.TypeText(kNote, "a\nb");
    EXPECT_EQ(TextOf(kNote), "a\r\nb");
    desktop_.TypeText(kLine, "a\r\nb");
    EXPECT_EQ(TextOf(kLine), "ab");
}

TEST_F(EditBoxTest, BackspaceDeletesADoubleByteCharacterAndALineBreakWhole) {
    desktop_.TypeText(kNote, "x中\r\n");
    desktop_.PressKey(vk::kBack);
    EXPECT_EQ(TextOf(kNote), "x中");
    desktop_.PressKey(vk::kBack);
    EXPECT_EQ(TextOf(kNote), "x");
}

TEST_F(EditBoxTest, ReadOnlyAndDisabledBoxesRefuseTyping) {
    desktop_.SetProperty(kLine, Property::kInputMode, std::int64_t{kInputReadOnly});
    EXPECT_TRUE(desktop_.TypeText(kLine, "a"));
    EXPECT_EQ(TextOf(kLine), "");
    desktop_.SetProperty(kNote, Property::kDisabled, true);
    log_.Watch(kNote, {EventKind::kKeyDown});
    EXPECT_FALSE(desktop_.TypeText(kNote, "a"));
    EXPECT_TRUE(log_.lines().empty());
}

TEST_F(EditBoxTest, CtrlShortcutsCutPasteAndUndo) {
    desktop_.TypeText(kLine, "hello");
    ASSERT_TRUE(desktop_.SelectEditText(kLine, 0, 5));
    desktop_.SimulateKeys({vk::kControlKey, 'X'});
    EXPECT_EQ(TextOf(kLine), "");
    EXPECT_EQ(desktop_.clipboard(), "hello");
    desktop_.SetClipboard("ok\r\nrest");
    desktop_.SimulateKeys({vk::kControlKey, 'V'});
    EXPECT_EQ(TextOf(kLine), "ok");
    desktop_.PressKey('Z', vk::kCtrl);
    EXPECT_EQ(TextOf(kLine), "");
    EXPECT_EQ(desktop_.simulated_keys().size(), 2u);
}

TEST_F(EditBoxTest, CopyLeavesTheTextAndMaskedBoxesKeepTheirSecret) {
    desktop_.TypeText(kLine, "pw");
    desktop_.SelectEditText(kLine, 0, 2);
    desktop_.PressKey('C', vk::kCtrl);
    EXPECT_EQ(desktop_.clipboard(), "pw");
    desktop_.SetClipboard("");
    desktop_.SetProperty(kLine, Property::kInputMode, std::int64_t{kInputMasked});
    desktop_.PressKey('C', vk::kCtrl);
    EXPECT_EQ(desktop_.clipboard(), "");
}

TEST_F(EditBoxTest, KeysInjectedByAHandlerArriveAfterTheHandlerReturns) {
    desktop_.SetClipboard("xy");
    desktop_.SetFocus(kLine);
    Text inside;
    desktop_.Bind(kPaste, EventKind::kClicked, [&](const Event&) {
        desktop_.SetFocus(kLine);
        desktop_.SimulateKeys({vk::kControlKey, 'V'});
        inside = TextOf(kLine);
        return true;
    });
    ASSERT_TRUE(desktop_.Click(kPaste));
    EXPECT_EQ(inside, "");
    EXPECT_EQ(TextOf(kLine), "xy");
}

TEST_F(EditBoxTest, CaretKeysMoveOverWholeCharacters) {
    desktop_.TypeText(kLine, "a中b");
    desktop_.PressKey(vk::kLeft);
    desktop_.PressKey(vk::kLeft);
    EXPECT_EQ(desktop_.EditCaret(kLine), 1);
    desktop_.PressKey(vk::kEnd, vk::kShift);
    EXPECT_EQ(desktop_.EditSelection(kLine), (std::pair<int, int>{1, 4}));
    desktop_.TypeText(kLine, "z");
    EXPECT_EQ(TextOf(kLine), "az");
}

}  // namespace
}  // namespace yz::test
