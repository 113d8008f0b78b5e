// Control kinds: the tab page rule, sliders, lists, check boxes, and properties a kind lacks.

#include "headless/headless_test_support.h"
#include "support/desktop_fixture.h"

namespace yz::test {
namespace {

const ControlRef kTabs{"main", "tabs"};
const ControlRef kShown{"main", "shown"};
const ControlRef kHidden{"main", "hidden"};
const ControlRef kLater{"main", "later"};
const ControlRef kFirstInOrder{"main", "first"};
const ControlRef kSlider{"main", "slider"};

ControlTemplate OnPage(ControlTemplate control, int page) {
    control.container = "tabs";
    control.page = page;
    return control;
}

class ControlsTest : public DesktopTest {
  protected:
    void SetUp() override {
        ControlTemplate tabs = MakeControl(ControlKind::kTabControl, "tabs");
        tabs.texts = {"一", "二"};
        ControlTemplate hidden = OnPage(MakeControl(ControlKind::kEditBox, "hidden"), 0);
        hidden.visible = false;
        ControlTemplate disabled = OnPage(MakeControl(ControlKind::kEditBox, "disabled", 1), 1);
        disabled.enabled = false;
        ControlTemplate slider = MakeControl(ControlKind::kSlider, "slider");
        slider.slider.minimum = 10;
        slider.slider.maximum = 100;
        ControlTemplate label = MakeControl(ControlKind::kLabel, "label");
        label.font = FontSpec{"楷体", 24, true};
        ASSERT_TRUE(desktop_.LoadWindow(
            MakeWindow("main", {tabs, OnPage(MakeControl(ControlKind::kEditBox, "shown"), 0), hidden,
                                OnPage(MakeControl(ControlKind::kEditBox, "later", 5), 1), disabled,
                                OnPage(MakeControl(ControlKind::kEditBox, "first", 3), 1), slider, label,
                                MakeControl(ControlKind::kListBox, "list"), MakeControl(ControlKind::kListView, "view"),
                                MakeControl(ControlKind::kCheckBox, "check")}),
            {}, false));
    }

    bool Visible(const ControlRef& ref) const { return desktop_.IsEffectivelyVisible(ref); }
};

TEST_F(ControlsTest, TheFirstPageShowsOnlyItsControlsTheTemplateMakesVisible) {
    EXPECT_TRUE(Visible(kShown));
    EXPECT_FALSE(Visible(kHidden));
    EXPECT_FALSE(Visible(kLater));
    EXPECT_EQ(desktop_.TabPage(kTabs), 0);
}

TEST_F(ControlsTest, SelectingAPageHidesTheOtherPagesAndShowsItsTemplateVisibleControls) {
    desktop_.SetProperty(kHidden, Property::kVisible, true);
    ASSERT_TRUE(desktop_.SelectTabPage(kTabs, 1));
    EXPECT_FALSE(Visible(kShown));
    EXPECT_FALSE(Visible(kHidden));
    EXPECT_TRUE(Visible(kLater));
    ASSERT_TRUE(desktop_.SelectTabPage(kTabs, 0));
    EXPECT_TRUE(Visible(kShown));
    EXPECT_FALSE(Visible(kHidden));
    EXPECT_FALSE(desktop_.SelectTabPage(kTabs, 2));
}

TEST_F(ControlsTest, AControlInAHiddenTabControlStaysHiddenWhateverItsOwnFlag) {
    desktop_.SetProperty(kTabs, Property::kVisible, false);
    desktop_.SetProperty(kShown, Property::kVisible, true);
    EXPECT_TRUE(GetFlag(desktop_, kShown, Property::kVisible));
    EXPECT_FALSE(Visible(kShown));
    EXPECT_FALSE(desktop_.TypeText(kShown, "a"));
}

TEST_F(ControlsTest, SelectingAPageFocusesItsEnabledControlFirstInTabOrder) {
    EventLog log(desktop_);
    log.Watch(kTabs, {EventKind::kSelectionChanged});
    desktop_.SetFocus(kShown);
    ASSERT_TRUE(desktop_.SelectTabPage(kTabs, 1));
    EXPECT_EQ(desktop_.FocusedControl(), kFirstInOrder);
    ASSERT_EQ(log.events().size(), 1u);
    EXPECT_EQ(log.events()[0].a, 1);
}

TEST_F(ControlsTest, TheProgramSetsAnySliderPositionATrackbarHolds) {
    desktop_.SetProperty(kSlider, Property::kSliderPosition, std::int64_t{150});
    EXPECT_EQ(GetNumber(desktop_, kSlider, Property::kSliderPosition), 150);
    desktop_.SetProperty(kSlider, Property::kSliderPosition, std::int64_t{40000});
    EXPECT_EQ(GetNumber(desktop_, kSlider, Property::kSliderPosition), 32767);
    desktop_.SetProperty(kSlider, Property::kSliderPosition, std::int64_t{-5});
    EXPECT_EQ(GetNumber(desktop_, kSlider, Property::kSliderPosition), 0);
}

TEST_F(ControlsTest, TheWritersSliderMovesStayInRangeAndRaisePositionChanged) {
    EventLog log(desktop_);
    log.Watch(kSlider, {EventKind::kPositionChanged});
    desktop_.MoveSlider(kSlider, 150);
    desktop_.MoveSlider(kSlider, 0);
    ASSERT_EQ(log.events().size(), 2u);
    EXPECT_EQ(log.events()[0].a, 100);
    EXPECT_EQ(log.events()[1].a, 10);
    EXPECT_EQ(GetNumber(desktop_, kSlider, Property::kSliderPosition), 10);
}

TEST_F(ControlsTest, ListBoxesInsertOnlyWithinTheirLines) {
    const ControlRef list{"main", "list"};
    EXPECT_EQ(desktop_.ListBoxInsert(list, 0, "b", 2), 0);
    EXPECT_EQ(desktop_.ListBoxInsert(list, 0, "a", 1), 0);
    EXPECT_EQ(desktop_.ListBoxInsert(list, -1, "x", 0), -1);
    EXPECT_EQ(desktop_.ListBoxInsert(list, 3, "x", 0), -1);
    ASSERT_EQ(desktop_.ListBoxLines(list).size(), 2u);
    EXPECT_EQ(desktop_.ListBoxLines(list)[1].data, 2);
    EXPECT_TRUE(desktop_.SelectListBoxLine(list, 1));
    desktop_.ListBoxClear(list);
    EXPECT_TRUE(desktop_.ListBoxLines(list).empty());
    EXPECT_EQ(desktop_.ListBoxSelection(list), -1);
}

TEST_F(ControlsTest, ListViewsAppendForANegativeRowAndKeepCellsPerColumn) {
    const ControlRef view{"main", "view"};
    desktop_.ListViewInsertColumn(view, 0, "作品", 100);
    desktop_.ListViewInsertColumn(view, 1, "作者", 80);
    EXPECT_EQ(desktop_.ListViewInsert(view, -1, "r0"), 0);
    EXPECT_EQ(desktop_.ListViewInsert(view, 0, "r1"), 0);
    desktop_.ListViewSetText(view, 1, 1, "b");
    desktop_.ListViewSetText(view, 1, 5, "ignored");
    EXPECT_EQ(desktop_.ListViewItemCount(view), 2);
    EXPECT_EQ(desktop_.ListViewGetText(view, 1, 0), "r0");
    EXPECT_EQ(desktop_.ListViewGetText(view, 1, 1), "b");
    EXPECT_EQ(desktop_.ListViewGetText(view, 1, 5), "");
}

TEST_F(ControlsTest, ACheckBoxTogglesBeforeItsClickedEvent) {
    const ControlRef check{"main", "check"};
    bool checked_in_handler = false;
    desktop_.Bind(check, EventKind::kClicked, [&](const Event&) {
        checked_in_handler = GetFlag(desktop_, check, Property::kChecked);
        return true;
    });
    desktop_.Click(check);
    EXPECT_TRUE(checked_in_handler);
}

TEST_F(ControlsTest, TemplateFontsAreInPointsAndMissingPropertiesReadEmpty) {
    const ControlRef label{"main", "label"};
    EXPECT_EQ(GetNumber(desktop_, label, Property::kFontSize), 18);
    EXPECT_EQ(GetText(desktop_, label, Property::kFontFace), "楷体");
    EXPECT_TRUE(GetFlag(desktop_, label, Property::kFontBold));
    desktop_.SetProperty(label, Property::kChecked, true);
    EXPECT_FALSE(GetFlag(desktop_, label, Property::kChecked));
    EXPECT_EQ(GetNumber(desktop_, kSlider, Property::kPeriod), 0);
    EXPECT_EQ(GetText(desktop_, {"main", "nothing"}, Property::kText), "");
}

}  // namespace
}  // namespace yz::test
