// Message boxes, common dialogs, popup menus and the colour palette answered by queued answers,
// and what happens when nobody answered.

#include "headless/headless_test_support.h"
#include "support/desktop_fixture.h"

namespace yz::test {
namespace {

const ControlRef kDialog{"main", "dialog"};
const ControlRef kPicker{"main", "picker"};

class ModalTest : public DesktopTest {
  protected:
    void SetUp() override {
        WindowTemplate main = MakeWindow("main", {MakeControl(ControlKind::kCommonDialog, "dialog"),
                                                  MakeControl(ControlKind::kColourPicker, "picker", 1)});
        main.menus = {MenuEntry{"编辑", 0}, MenuEntry{"复制"}, MenuEntry{"-"}, MenuEntry{"粘贴", 1, false, true},
                      MenuEntry{"其他", 0}, MenuEntry{"关于"}};
        ASSERT_TRUE(desktop_.LoadWindow(main, {}, false));
    }

    // Collects problems instead of failing, for tests about them.
    void ExpectProblems() { desktop_.SetProblemHandler(nullptr); }
};

TEST_F(ModalTest, MessageBoxesAreRecordedAsTaskModalUnlessSystemModal) {
    desktop_.QueueMessageBoxAnswer(kResultYes);
    desktop_.QueueMessageBoxAnswer(kResultOk);
    EXPECT_EQ(desktop_.MessageBox("保存吗？", kMbYesNo | kMbIconQuestion, "砚舟"), kResultYes);
    EXPECT_EQ(desktop_.MessageBox("done", kMbSystemModal, "c"), kResultOk);
    EXPECT_EQ(desktop_.message_boxes(),
              (std::vector<MessageBoxRecord>{{"保存吗？", kMbYesNo | kMbIconQuestion | kMbTaskModal, "砚舟"},
                                             {"done", kMbSystemModal, "c"}}));
}

TEST_F(ModalTest, AnUnansweredMessageBoxIsReportedWithItsCaptionAndTextAndAnswersSafely) {
    ExpectProblems();
    EXPECT_EQ(desktop_.MessageBox("删除？", kMbYesNo, "确认"), kResultNo);
    EXPECT_EQ(desktop_.MessageBox("go", kMbOkCancel, "c"), kResultCancel);
    ASSERT_EQ(desktop_.problems().size(), 2u);
    EXPECT_NE(desktop_.problems()[0].find("确认"), Text::npos);
    EXPECT_NE(desktop_.problems()[0].find("删除？"), Text::npos);
}

TEST_F(ModalTest, AnAnswerThatIsNoButtonOfTheBoxIsReported) {
    ExpectProblems();
    desktop_.QueueMessageBoxAnswer(kResultYes);
    EXPECT_EQ(desktop_.MessageBox("text", kMbOkCancel, "caption"), kResultCancel);
    EXPECT_EQ(desktop_.problems().size(), 1u);
}

TEST_F(ModalTest, AMessageBoxRunsWorkPostedBeforeIt) {
    bool existed_after_box = true;
    desktop_.Bind({"main", {}}, EventKind::kMoved, [&](const Event&) {
        desktop_.CloseWindow("main", false);
        desktop_.QueueMessageBoxAnswer(kResultOk);
        desktop_.MessageBox("bye", kMbOk, "c");
        existed_after_box = desktop_.Exists({"main", {}});
        return true;
    });
    desktop_.MoveWindowByUser("main", 1, 1);
    EXPECT_FALSE(existed_after_box);
}

TEST_F(ModalTest, AFileDialogAnswerBecomesTheFileNameWithTheDefaultExtension) {
    desktop_.SetProperty(kDialog, Property::kDialogKind, std::int64_t{kDialogSave});
    desktop_.SetProperty(kDialog, Property::kFilter, Text("文本(*.txt)|*.txt"));
    desktop_.SetProperty(kDialog, Property::kDefaultExtension, Text("txt"));
    desktop_.QueueFileDialogAnswer(Text("C:\\books.d\\第一章"));
    desktop_.QueueFileDialogAnswer(std::nullopt);
    ASSERT_TRUE(desktop_.ShowFileDialog(kDialog));
    EXPECT_EQ(GetText(desktop_, kDialog, Property::kFileName), "C:\\books.d\\第一章.txt");
    EXPECT_FALSE(desktop_.ShowFileDialog(kDialog));
    EXPECT_EQ(GetText(desktop_, kDialog, Property::kFileName), "C:\\books.d\\第一章.txt");
    ASSERT_EQ(desktop_.dialogs().size(), 2u);
    EXPECT_EQ(desktop_.dialogs()[0].kind, kDialogSave);
    EXPECT_EQ(desktop_.dialogs()[0].filter, "文本(*.txt)|*.txt");
    // The field shows the last name; the folder comes from the initial directory.
    EXPECT_EQ(desktop_.dialogs()[1].file_name, "第一章.txt");
}

TEST_F(ModalTest, AFontDialogAnswerBecomesTheFontProperties) {
    desktop_.SetProperty(kDialog, Property::kDialogKind, std::int64_t{kDialogFont});
    FontChoice font{"黑体", 18, true, false, false, true, kRed};
    desktop_.QueueFontDialogAnswer(font);
    ASSERT_TRUE(desktop_.ShowFileDialog(kDialog));
    EXPECT_EQ(GetText(desktop_, kDialog, Property::kFontFace), "黑体");
    EXPECT_EQ(GetNumber(desktop_, kDialog, Property::kFontSize), 18);
    EXPECT_TRUE(GetFlag(desktop_, kDialog, Property::kFontBold));
    EXPECT_TRUE(GetFlag(desktop_, kDialog, Property::kFontUnderline));
    EXPECT_EQ(GetNumber(desktop_, kDialog, Property::kTextColour), kRed);
}

TEST_F(ModalTest, AnUnansweredDialogIsReportedAndCancelled) {
    ExpectProblems();
    EXPECT_FALSE(desktop_.ShowFileDialog(kDialog));
    EXPECT_EQ(desktop_.problems().size(), 1u);
}

TEST_F(ModalTest, APopupMenuIsRecordedAtTheCursorPlusThreeAndRunsThePickBeforeReturning) {
    std::vector<std::string> order;
    desktop_.BindMenu("main", "复制", [&] { order.push_back("copy"); });
    desktop_.SetCursor(100, 200);
    desktop_.QueuePopupMenuPick(Text("复制"));
    desktop_.QueuePopupMenuPick(std::nullopt);
    desktop_.PopupMenu("main", "编辑", std::nullopt, std::nullopt);
    order.push_back("returned");
    desktop_.PopupMenu("main", "编辑", 5, std::nullopt);
    EXPECT_EQ(order, (std::vector<std::string>{"copy", "returned"}));
    EXPECT_EQ(desktop_.popups(), (std::vector<PopupRecord>{{"main", "编辑", 103, 203}, {"main", "编辑", 5, 203}}));
}

TEST_F(ModalTest, PickingADisabledOrForeignEntryIsReported) {
    ExpectProblems();
    bool ran = false;
    desktop_.BindMenu("main", "粘贴", [&] { ran = true; });
    desktop_.QueuePopupMenuPick(Text("粘贴"));
    desktop_.QueuePopupMenuPick(Text("关于"));
    desktop_.PopupMenu("main", "编辑", 0, 0);
    desktop_.PopupMenu("main", "编辑", 0, 0);
    EXPECT_FALSE(ran);
    EXPECT_EQ(desktop_.problems().size(), 2u);
    EXPECT_FALSE(desktop_.PickMenuItem("main", "粘贴"));
}

TEST_F(ModalTest, PickMenuItemRunsTheEntryLikeAClick) {
    int runs = 0;
    desktop_.BindMenu("main", "关于", [&] { ++runs; });
    EXPECT_TRUE(desktop_.PickMenuItem("main", "关于"));
    EXPECT_FALSE(desktop_.PickMenuItem("main", "-"));
    EXPECT_EQ(runs, 1);
}

TEST_F(ModalTest, TheColourPaletteTakesTheQueuedPick) {
    EventLog log(desktop_);
    log.Watch(kPicker, {EventKind::kColourChosen});
    desktop_.QueueColourPick(kBlue);
    desktop_.QueueColourPick(std::nullopt);
    ASSERT_TRUE(desktop_.Click(kPicker));
    EXPECT_EQ(desktop_.SendUnitMessage(kPicker, 0x0202, 0, 0), 0);
    EXPECT_EQ(desktop_.SendUnitMessage(kPicker, 0x0201, 0, 0), 0);
    ASSERT_EQ(log.events().size(), 1u);
    EXPECT_EQ(log.events()[0].a, kBlue);
    EXPECT_EQ(GetNumber(desktop_, kPicker, Property::kColour), kBlue);
}

}  // namespace
}  // namespace yz::test
