#include <gtest/gtest.h>

#include "app/program_fixture.h"
#include "runtime/headless/headless_keys.h"
#include "support/test_text.h"

namespace yz::test {
namespace {

using namespace ui;

constexpr int kMinimised = 2;

class OneKeyHideTest : public ProgramTest {
  protected:
    std::int64_t PositionState(const Text& window) const {
        return GetNumber(desktop_, {window, {}}, Property::kPositionState);
    }
    bool Topmost() const { return GetFlag(desktop_, 主窗, Property::kAlwaysOnTop); }
    // The writer clicks the backdrop (which hands the focus on to the main window) and the main
    // window.
    void ActivateAgain() {
        desktop_.Activate(kBackdropWindow);
        ASSERT_TRUE(desktop_.Activate(kMainWindow));
    }
    // Another program owned Esc at the start and has ended since: Esc reaches our controls.
    void StartWithoutTheEscHotkey() {
        desktop_.ClaimHotKeyElsewhere(0, vk::kEscape);
        ASSERT_TRUE(Start());
        desktop_.ReleaseHotKeyElsewhere(0, vk::kEscape);
    }
};

TEST_F(OneKeyHideTest, EscHidesBothWindowsBehindTheTrayIconAndAClickBringsThemBack) {
    ASSERT_TRUE(Start());
    for (const int release : {1, 3}) {
        ASSERT_TRUE(desktop_.PressGlobalKey(vk::kEscape));
        const auto icon = desktop_.TrayIcon(kBackdropWindow);
        ASSERT_TRUE(icon.has_value());
        EXPECT_EQ(icon->picture, kTrayPicture);
        EXPECT_EQ(icon->tooltip, "砚舟文匣 --霁川软件 鼠标单击还原");
        EXPECT_EQ(PositionState(kBackdropWindow), kMinimised);
        EXPECT_EQ(PositionState(kMainWindow), kMinimised);
        // Esc while hidden sets the icon again.
        ASSERT_TRUE(desktop_.PressGlobalKey(vk::kEscape));
        EXPECT_TRUE(desktop_.TrayIcon(kBackdropWindow).has_value());

        ASSERT_TRUE(desktop_.ClickTrayIcon(kBackdropWindow, release));
        EXPECT_FALSE(desktop_.TrayIcon(kBackdropWindow).has_value());
        EXPECT_EQ(PositionState(kBackdropWindow), 0);
        EXPECT_EQ(PositionState(kMainWindow), 0);
    }
}

TEST_F(OneKeyHideTest, ADoubleClickOnTheIconDoesNothingMore) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(desktop_.PressGlobalKey(vk::kEscape));
    ASSERT_TRUE(desktop_.ClickTrayIcon(kBackdropWindow, 2));
    EXPECT_TRUE(desktop_.TrayIcon(kBackdropWindow).has_value());
    EXPECT_EQ(PositionState(kMainWindow), kMinimised);
}

TEST_F(OneKeyHideTest, AnUnusableTrayPictureStillMinimises) {
    desktop_.MarkPictureUnusable(kTrayPicture);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(desktop_.PressGlobalKey(vk::kEscape));
    EXPECT_FALSE(desktop_.TrayIcon(kBackdropWindow).has_value());
    EXPECT_EQ(PositionState(kMainWindow), kMinimised);
}

// Without the Esc hotkey the key reaches the editor, which hides the
// program without the icon; the next activation gives the window back its look and the editor.
TEST_F(OneKeyHideTest, EscInTheEditorHidesWithoutTheIconUntilTheNextActivation) {
    StartWithoutTheEscHotkey();
    ASSERT_TRUE(desktop_.TypeText(主编框, "正文"));
    ASSERT_TRUE(desktop_.PressKey(主编框, vk::kEscape));
    EXPECT_FALSE(desktop_.TrayIcon(kBackdropWindow).has_value());
    EXPECT_TRUE(GetFlag(desktop_, 主编框, Property::kDisabled));
    EXPECT_TRUE(Topmost());
    EXPECT_EQ(desktop_.Layered(kMainWindow), (LayeredState{true, 6, std::nullopt}));
    EXPECT_EQ(desktop_.Layered(kBackdropWindow).alpha, 6);
    EXPECT_EQ(PositionState(kMainWindow), kMinimised);
    EXPECT_EQ(PositionState(kBackdropWindow), kMinimised);

    desktop_.SetProperty(主窗, Property::kPositionState, std::int64_t{0});
    desktop_.SetProperty(底窗, Property::kPositionState, std::int64_t{0});
    ActivateAgain();
    EXPECT_EQ(desktop_.Layered(kMainWindow), (LayeredState{true, std::nullopt, kWhite}));
    EXPECT_EQ(desktop_.Layered(kBackdropWindow).alpha, 60);
    EXPECT_FALSE(Topmost());
    EXPECT_FALSE(GetFlag(desktop_, 主编框, Property::kDisabled));
    EXPECT_EQ(EditorText(), "正文");
}

TEST_F(OneKeyHideTest, EscInTheEncryptionPanelClosesItAndHides) {
    StartWithoutTheEscHotkey();
    ASSERT_TRUE(desktop_.PressGlobalKey('Q', vk::kAlt));
    ASSERT_TRUE(desktop_.TypeText(加M文件名, "稿"));
    ASSERT_TRUE(desktop_.PressKey(加M文件名, vk::kEscape));
    EXPECT_FALSE(GetFlag(desktop_, 加M文件名, Property::kVisible));
    EXPECT_FALSE(GetFlag(desktop_, 作者列表, Property::kVisible));
    EXPECT_TRUE(GetFlag(desktop_, 作者列表, Property::kDisabled));
    EXPECT_TRUE(GetFlag(desktop_, 主编框, Property::kDisabled));
    EXPECT_TRUE(Topmost());
    EXPECT_EQ(desktop_.Layered(kMainWindow).alpha, 6);
    EXPECT_EQ(PositionState(kMainWindow), 0);

    ActivateAgain();
    EXPECT_EQ(desktop_.Layered(kMainWindow), (LayeredState{true, std::nullopt, kWhite}));
    EXPECT_FALSE(GetFlag(desktop_, 主编框, Property::kDisabled));
}

TEST_F(OneKeyHideTest, OtherKeysInTheEditorDoNotHide) {
    StartWithoutTheEscHotkey();
    ASSERT_TRUE(desktop_.TypeText(主编框, "abc"));
    EXPECT_EQ(desktop_.Layered(kMainWindow), (LayeredState{true, std::nullopt, kWhite}));
    EXPECT_FALSE(Topmost());
}

}  // namespace
}  // namespace yz::test
