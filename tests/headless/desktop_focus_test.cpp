// The order of window creation, activation, focus and mouse events, and who gets no input.

#include "headless/headless_test_support.h"
#include "runtime/headless/headless_keys.h"
#include "support/desktop_fixture.h"

namespace yz::test {
namespace {

const ControlRef kMain{"main", {}};
const ControlRef kFirst{"main", "first"};
const ControlRef kSecond{"main", "second"};
const ControlRef kGo{"main", "go"};

class FocusTest : public DesktopTest {
  protected:
    WindowTemplate Main() const {
        return MakeWindow(
            "main", {MakeControl(ControlKind::kEditBox, "second", 2), MakeControl(ControlKind::kEditBox, "first", 1),
                     MakeControl(ControlKind::kButton, "go", 3)});
    }

    EventLog log_{desktop_};
};

TEST_F(FocusTest, LoadingRaisesCreatedMovedResizedThenActivatesBeforeReturning) {
    bool controls_existed = false;
    log_.Watch(kMain, {EventKind::kMoved, EventKind::kResized, EventKind::kFirstActivation, EventKind::kActivated});
    log_.Watch(kFirst, {EventKind::kGotFocus});
    desktop_.Bind(kMain, EventKind::kCreated, [&](const Event&) {
        controls_existed = desktop_.Exists(kGo);
        return true;
    });
    ASSERT_TRUE(desktop_.LoadWindow(Main(), {}, false));
    EXPECT_TRUE(controls_existed);
    EXPECT_EQ(log_.lines(), (std::vector<std::string>{"main:Moved", "main:Resized", "main:FirstActivation",
                                                      "main:Activated", "first:GotFocus"}));
    EXPECT_EQ(desktop_.FocusedControl(), kFirst);
    EXPECT_FALSE(desktop_.LoadWindow(Main(), {}, false));
}

TEST_F(FocusTest, AFocusChangeRaisesLostFocusOnTheOldControlFirst) {
    desktop_.LoadWindow(Main(), {}, false);
    log_.Watch(kFirst, {EventKind::kLostFocus, EventKind::kGotFocus});
    log_.Watch(kSecond, {EventKind::kLostFocus, EventKind::kGotFocus});
    desktop_.SetFocus(kSecond);
    EXPECT_EQ(log_.lines(), (std::vector<std::string>{"first:LostFocus", "second:GotFocus"}));
}

TEST_F(FocusTest, AClickFocusesAfterTheButtonDownHandlerAndClicksOnRelease) {
    desktop_.LoadWindow(Main(), {}, false);
    log_.Watch(kFirst, {EventKind::kLostFocus});
    log_.Watch(kGo, {EventKind::kLeftButtonDown, EventKind::kGotFocus, EventKind::kLeftButtonUp, EventKind::kClicked});
    ASSERT_TRUE(desktop_.Click(kGo, 5, 6));
    EXPECT_EQ(log_.lines(), (std::vector<std::string>{"go:LeftButtonDown", "first:LostFocus", "go:GotFocus",
                                                      "go:LeftButtonUp", "go:Clicked"}));
    EXPECT_EQ(log_.events().front().a, 5);
    EXPECT_EQ(log_.events().front().b, 6);
}

TEST_F(FocusTest, ASwallowedButtonDownNeitherFocusesNorClicks) {
    desktop_.LoadWindow(Main(), {}, false);
    desktop_.Bind(kGo, EventKind::kLeftButtonDown, [](const Event&) { return false; });
    log_.Watch(kGo, {EventKind::kClicked});
    desktop_.Click(kGo);
    EXPECT_TRUE(log_.lines().empty());
    EXPECT_EQ(desktop_.FocusedControl(), kFirst);
}

TEST_F(FocusTest, DisabledOrHiddenControlsAndWindowsGetNoInput) {
    desktop_.LoadWindow(Main(), {}, false);
    log_.Watch(kGo, {EventKind::kLeftButtonDown, EventKind::kClicked});
    desktop_.SetProperty(kGo, Property::kDisabled, true);
    EXPECT_FALSE(desktop_.Click(kGo));
    desktop_.SetProperty(kGo, Property::kDisabled, false);
    desktop_.SetProperty(kGo, Property::kVisible, false);
    EXPECT_FALSE(desktop_.Click(kGo));
    desktop_.SetProperty(kGo, Property::kVisible, true);
    desktop_.SetProperty(kMain, Property::kDisabled, true);
    EXPECT_FALSE(desktop_.Click(kGo));
    EXPECT_FALSE(desktop_.TypeText(kFirst, "a"));
    EXPECT_TRUE(log_.lines().empty());
}

TEST_F(FocusTest, HidingTheFocusedControlGivesTheFocusToItsWindow) {
    desktop_.LoadWindow(Main(), {}, false);
    log_.Watch(kFirst, {EventKind::kLostFocus});
    desktop_.SetProperty(kFirst, Property::kVisible, false);
    EXPECT_EQ(log_.lines(), std::vector<std::string>{"first:LostFocus"});
    EXPECT_EQ(desktop_.FocusedControl(), kMain);
}

TEST_F(FocusTest, TabMovesThroughTheTabOrderAndShiftTabBack) {
    desktop_.LoadWindow(Main(), {}, false);
    desktop_.PressKey(vk::kTab);
    EXPECT_EQ(desktop_.FocusedControl(), kSecond);
    desktop_.PressKey(vk::kTab);
    desktop_.PressKey(vk::kTab);
    EXPECT_EQ(desktop_.FocusedControl(), kFirst);
    desktop_.PressKey(vk::kTab, vk::kShift);
    EXPECT_EQ(desktop_.FocusedControl(), kGo);
}

TEST_F(FocusTest, ActivatingAnotherWindowDeactivatesFirstAndRestoresItsFocusLater) {
    desktop_.LoadWindow(Main(), {}, false);
    desktop_.SetFocus(kSecond);
    desktop_.LoadWindow(MakeWindow("other", {MakeControl(ControlKind::kEditBox, "field", 1)}), {}, false);
    log_.Watch(kMain, {EventKind::kActivated, EventKind::kDeactivated, EventKind::kFirstActivation});
    log_.Watch({"other", {}}, {EventKind::kDeactivated});
    log_.Watch({"other", "field"}, {EventKind::kLostFocus});
    log_.Watch(kSecond, {EventKind::kGotFocus});
    ASSERT_TRUE(desktop_.Activate("main"));
    EXPECT_EQ(log_.lines(),
              (std::vector<std::string>{"other:Deactivated", "main:Activated", "field:LostFocus", "second:GotFocus"}));
    EXPECT_EQ(desktop_.ActiveWindow(), "main");
}

}  // namespace
}  // namespace yz::test
