// Global hotkeys, the tray icon, layered windows and balloon tips.

#include "headless/headless_test_support.h"
#include "runtime/headless/headless_keys.h"
#include "support/desktop_fixture.h"

namespace yz::test {
namespace {

const ControlRef kMain{"main", {}};
const ControlRef kReceiver{"main", "receiver"};
const ControlRef kEdit{"main", "edit"};

class ShellTest : public DesktopTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(desktop_.LoadWindow(MakeWindow("main", {MakeControl(ControlKind::kLabel, "receiver"),
                                                            MakeControl(ControlKind::kEditBox, "edit", 1),
                                                            MakeControl(ControlKind::kBalloonTip, "tip")}),
                                        {}, false));
    }

    int Register(int modifier, int key) { return desktop_.RegisterGlobalHotKey("main", kReceiver, modifier, key); }

    EventLog log_{desktop_};
};

TEST_F(ShellTest, HotKeyIdentifiersCountEveryRegistrationAttempt) {
    desktop_.ClaimHotKeyElsewhere(vk::kCtrl | vk::kAlt, 'X');
    EXPECT_EQ(Register(1, 'A'), 33001);
    EXPECT_EQ(Register(5, 'X'), 0);
    EXPECT_EQ(Register(1, 'A'), 0);
    EXPECT_EQ(Register(2, 'B'), 33004);
    EXPECT_EQ(desktop_.RegisterGlobalHotKey("gone", kReceiver, 0, 'C'), 0);
    EXPECT_EQ(Register(0, 'C'), 33006);
}

TEST_F(ShellTest, ModifierNumbersBecomeSystemFlags) {
    for (int number = 0; number <= 8; ++number) {
        Register(number, 'A' + number);
    }
    std::vector<int> flags;
    for (const RegisteredHotKey& key : desktop_.hot_keys()) {
        flags.push_back(key.flags);
    }
    EXPECT_EQ(flags, (std::vector<int>{0, 2, 4, 6, 1, 3, 5, 7, 8}));
}

TEST_F(ShellTest, AHotKeyReachesItsReceiverAndNotTheFocusedControl) {
    const int id = Register(3, 'S');
    log_.Watch(kReceiver, {EventKind::kNotification});
    log_.Watch(kEdit, {EventKind::kKeyDown});
    desktop_.PressKey(kEdit, 'S', vk::kCtrl | vk::kShift);
    ASSERT_EQ(log_.lines(), std::vector<std::string>{"receiver:Notification"});
    EXPECT_EQ(log_.events()[0].a, id);
    EXPECT_EQ(log_.events()[0].b, 0);
    desktop_.PressKey(kEdit, 'S', vk::kCtrl);
    EXPECT_EQ(log_.lines().back(), "edit:KeyDown");
}

TEST_F(ShellTest, AKeyAnotherProgramOwnsNeverReachesTheControl) {
    desktop_.ClaimHotKeyElsewhere(0, vk::kF1);
    log_.Watch(kEdit, {EventKind::kKeyDown});
    desktop_.PressKey(kEdit, vk::kF1);
    EXPECT_TRUE(log_.lines().empty());
}

TEST_F(ShellTest, HotKeysWorkWhileAnotherProgramHasTheFocusUntilTheirWindowIsGone) {
    Register(4, 'H');
    log_.Watch(kReceiver, {EventKind::kNotification});
    desktop_.SetProperty(kMain, Property::kVisible, false);
    EXPECT_TRUE(desktop_.PressGlobalKey('H', vk::kAlt));
    EXPECT_EQ(log_.lines().size(), 1u);
    desktop_.CloseWindow("main", true);
    EXPECT_FALSE(desktop_.PressGlobalKey('H', vk::kAlt));
    EXPECT_TRUE(desktop_.hot_keys().empty());
}

TEST_F(ShellTest, TheTrayTooltipIsCutTo62Bytes) {
    const Text tooltip(70, 'x');
    desktop_.SetTrayIcon("main", Text("icon"), tooltip);
    ASSERT_TRUE(desktop_.TrayIcon("main").has_value());
    EXPECT_EQ(desktop_.TrayIcon("main")->tooltip, Text(62, 'x'));
    desktop_.SetTrayIcon("main", Text("other"), "砚舟");
    EXPECT_EQ(desktop_.TrayIcon("main"), (TrayIconState{"other", "砚舟"}));
}

TEST_F(ShellTest, NoPictureOrAnUnusableOneRemovesTheIcon) {
    desktop_.MarkPictureUnusable("broken");
    desktop_.SetTrayIcon("main", Text("icon"), "tip");
    desktop_.SetTrayIcon("main", Text("broken"), "tip");
    EXPECT_FALSE(desktop_.TrayIcon("main").has_value());
    desktop_.SetTrayIcon("main", Text("icon"), "tip");
    desktop_.SetTrayIcon("main", std::nullopt, "tip");
    EXPECT_FALSE(desktop_.TrayIcon("main").has_value());
}

TEST_F(ShellTest, ClickingTheTrayIconRaisesTheTrayEventOnlyWhileItIsShown) {
    log_.Watch(kMain, {EventKind::kTray});
    EXPECT_FALSE(desktop_.ClickTrayIcon("main", 1));
    desktop_.SetTrayIcon("main", Text("icon"), "tip");
    desktop_.SetProperty(kMain, Property::kVisible, false);
    EXPECT_TRUE(desktop_.ClickTrayIcon("main", 2));
    ASSERT_EQ(log_.events().size(), 1u);
    EXPECT_EQ(log_.events()[0].a, 2);
}

TEST_F(ShellTest, WindowAlphaOutsideTheByteRangeIsOpaqueAndDropsTheColourKey) {
    desktop_.SetColourKey("main", kRed);
    EXPECT_EQ(desktop_.Layered("main"), (LayeredState{true, std::nullopt, kRed}));
    desktop_.SetWindowAlpha("main", 300);
    EXPECT_EQ(desktop_.Layered("main"), (LayeredState{true, 255, std::nullopt}));
    desktop_.SetWindowAlpha("main", -1);
    EXPECT_EQ(desktop_.Layered("main").alpha, 255);
    desktop_.SetWindowAlpha("main", 128);
    EXPECT_EQ(desktop_.Layered("main").alpha, 128);
}

TEST_F(ShellTest, BalloonsAndAddressesAreRecorded) {
    desktop_.ShowTip({"main", "tip"}, 10, 20, "<font color=red>!</font>", 1, true);
    desktop_.ShowTip({"main", "edit"}, 0, 0, "not a tip", -1, false);
    desktop_.OpenUrl("http://127.0.0.1/");
    EXPECT_EQ(desktop_.balloons(),
              (std::vector<BalloonRecord>{{{"main", "tip"}, 10, 20, "<font color=red>!</font>", 1, true}}));
    EXPECT_EQ(desktop_.opened_urls(), std::vector<Text>{"http://127.0.0.1/"});
}

}  // namespace
}  // namespace yz::test
