// Closing windows (asked, at once, posted, with their owner), modal windows, position states and
// the end of the program.

#include "headless/headless_test_support.h"
#include "support/desktop_fixture.h"

namespace yz::test {
namespace {

const ControlRef kMain{"main", {}};
const ControlRef kOk{"dialog", "ok"};

class WindowTest : public DesktopTest {
  protected:
    void SetUp() override { ASSERT_TRUE(desktop_.LoadWindow(MakeWindow("main", {Button("close")}), {}, false)); }

    static ControlTemplate Button(const Text& name) { return MakeControl(ControlKind::kButton, name, 1); }

    std::int64_t Number(const ControlRef& ref, Property property) const { return GetNumber(desktop_, ref, property); }

    EventLog log_{desktop_};
};

TEST_F(WindowTest, AQueryCloseHandlerAnsweringFalseKeepsTheWindow) {
    bool allow = false;
    desktop_.Bind(kMain, EventKind::kQueryClose, [&](const Event&) { return allow; });
    EXPECT_FALSE(desktop_.RequestClose("main"));
    EXPECT_TRUE(desktop_.Exists(kMain));
    allow = true;
    EXPECT_TRUE(desktop_.RequestClose("main"));
    EXPECT_FALSE(desktop_.Exists(kMain));
}

TEST_F(WindowTest, CloseWithoutAtOnceWaitsUntilTheCurrentEventIsHandled) {
    bool exists_inside = false;
    desktop_.Bind({"main", "close"}, EventKind::kClicked, [&](const Event&) {
        desktop_.CloseWindow("main", false);
        exists_inside = desktop_.Exists(kMain);
        return true;
    });
    desktop_.Click({"main", "close"});
    EXPECT_TRUE(exists_inside);
    EXPECT_FALSE(desktop_.Exists(kMain));
}

TEST_F(WindowTest, CloseAtOnceDestroysDuringTheCallAndTakesOwnedWindowsAlong) {
    desktop_.LoadWindow(MakeWindow("child"), "main", false);
    log_.Watch({"main", "close"}, {EventKind::kLostFocus});
    desktop_.CloseWindow("main", true);
    EXPECT_FALSE(desktop_.Exists(kMain));
    EXPECT_FALSE(desktop_.Exists({"child", {}}));
    EXPECT_TRUE(desktop_.WindowNames().empty());
    EXPECT_EQ(log_.lines(), std::vector<std::string>{"close:LostFocus"});
}

TEST_F(WindowTest, ClosingTheActiveChildActivatesItsOwner) {
    desktop_.LoadWindow(MakeWindow("child"), "main", false);
    log_.Watch(kMain, {EventKind::kActivated});
    desktop_.CloseWindow("child", true);
    EXPECT_EQ(log_.lines(), std::vector<std::string>{"main:Activated"});
    EXPECT_EQ(desktop_.FocusedControl(), (ControlRef{"main", "close"}));
}

TEST_F(WindowTest, AModalLoadReturnsWhenTheQueuedWriterClosesTheWindow) {
    desktop_.Bind(kOk, EventKind::kClicked, [&](const Event&) {
        desktop_.CloseWindow("dialog", false);
        return true;
    });
    bool owner_disabled = false;
    desktop_.QueueUserAction([&] {
        owner_disabled = !desktop_.AcceptsInput({"main", "close"});
        EXPECT_TRUE(desktop_.Click(kOk));
    });
    ASSERT_TRUE(desktop_.LoadWindow(MakeWindow("dialog", {MakeControl(ControlKind::kButton, "ok", 1)}), "main", true));
    EXPECT_TRUE(owner_disabled);
    EXPECT_FALSE(desktop_.Exists({"dialog", {}}));
    EXPECT_TRUE(desktop_.AcceptsInput({"main", "close"}));
    EXPECT_EQ(desktop_.ActiveWindow(), "main");
}

TEST_F(WindowTest, AModalWindowNobodyClosesIsReportedAndClosed) {
    desktop_.SetProblemHandler(nullptr);
    ASSERT_TRUE(desktop_.LoadWindow(MakeWindow("dialog"), "main", true));
    EXPECT_FALSE(desktop_.Exists({"dialog", {}}));
    ASSERT_EQ(desktop_.problems().size(), 1u);
    EXPECT_NE(desktop_.problems()[0].find("dialog"), Text::npos);
}

TEST_F(WindowTest, PositionStatesMinimiseRestoreCentreAndMaximise) {
    desktop_.SetScreenSize(1000, 800);
    log_.Watch(kMain, {EventKind::kMoved, EventKind::kResized});
    desktop_.SetProperty(kMain, Property::kPositionState, std::int64_t{2});
    EXPECT_EQ(Number(kMain, Property::kPositionState), 2);
    EXPECT_FALSE(desktop_.AcceptsInput({"main", "close"}));
    desktop_.SetProperty(kMain, Property::kPositionState, std::int64_t{1});
    EXPECT_EQ(Number(kMain, Property::kPositionState), 1);
    EXPECT_EQ(Number(kMain, Property::kLeft), 300);
    EXPECT_EQ(Number(kMain, Property::kTop), 250);
    EXPECT_EQ(Number(kMain, Property::kWidth), 400);
    desktop_.SetProperty(kMain, Property::kPositionState, std::int64_t{3});
    EXPECT_EQ(Number(kMain, Property::kWidth), 1000);
    desktop_.SetProperty(kMain, Property::kPositionState, std::int64_t{0});
    EXPECT_EQ(Number(kMain, Property::kWidth), 400);
    EXPECT_EQ(log_.lines(), (std::vector<std::string>{"main:Resized", "main:Moved", "main:Resized", "main:Moved",
                                                      "main:Resized", "main:Moved", "main:Resized"}));
}

TEST_F(WindowTest, PositionStateIsNotAppliedWhileHidden) {
    desktop_.SetProperty(kMain, Property::kVisible, false);
    desktop_.SetProperty(kMain, Property::kPositionState, std::int64_t{2});
    EXPECT_EQ(Number(kMain, Property::kPositionState), 0);
}

TEST_F(WindowTest, EndProgramDestroysEveryWindowAndStopsTheLoop) {
    desktop_.SetTrayIcon("main", Text("icon"), "tip");
    desktop_.QueueUserAction([&] { desktop_.EndProgram(3); });
    EXPECT_EQ(desktop_.RunMessageLoop(), 3);
    EXPECT_TRUE(desktop_.ended());
    EXPECT_EQ(desktop_.exit_code(), 3);
    EXPECT_FALSE(desktop_.Exists(kMain));
    EXPECT_FALSE(desktop_.TrayIcon("main").has_value());
}

TEST_F(WindowTest, BindingsOutliveTheWindow) {
    log_.Watch(kMain, {EventKind::kCreated});
    desktop_.CloseWindow("main", true);
    desktop_.LoadWindow(MakeWindow("main"), {}, false);
    EXPECT_EQ(log_.lines(), std::vector<std::string>{"main:Created"});
}

}  // namespace
}  // namespace yz::test
