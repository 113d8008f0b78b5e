// Virtual time: timers tick in due order from the moment their period is set, waits with events
// run timers and posted events (re-entering handlers), and local time follows the clock.

#include "headless/headless_test_support.h"
#include "runtime/clock.h"
#include "support/desktop_fixture.h"

namespace yz::test {
namespace {

const ControlRef kFast{"main", "fast"};
const ControlRef kSlow{"main", "slow"};

class TimerTest : public DesktopTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(desktop_.LoadWindow(
            MakeWindow("main", {MakeControl(ControlKind::kTimer, "fast"), MakeControl(ControlKind::kTimer, "slow"),
                                MakeControl(ControlKind::kButton, "wait", 1)}),
            {}, false));
    }

    void SetPeriod(const ControlRef& timer, std::int64_t period) {
        desktop_.SetProperty(timer, Property::kPeriod, period);
    }

    // Records "name@time" for each tick of the timer.
    void RecordTicks(const ControlRef& timer, std::function<void()> also = {}) {
        desktop_.Bind(timer, EventKind::kTick, [this, timer, also](const Event&) {
            ticks_.push_back(timer.control + "@" + std::to_string(desktop_.now_ms()));
            if (also) {
                also();
            }
            return true;
        });
    }

    std::vector<std::string> ticks_;
};

TEST_F(TimerTest, ATimerFirstTicksOnePeriodAfterItIsSetThenEveryPeriod) {
    RecordTicks(kFast);
    desktop_.AdvanceClock(50);
    SetPeriod(kFast, 100);
    desktop_.AdvanceClock(300);
    EXPECT_EQ(ticks_, (std::vector<std::string>{"fast@150", "fast@250", "fast@350"}));
    EXPECT_EQ(desktop_.now_ms(), 350);
}

TEST_F(TimerTest, TimersTickInTheOrderTheyFallDue) {
    RecordTicks(kFast);
    RecordTicks(kSlow);
    SetPeriod(kSlow, 50);
    SetPeriod(kFast, 30);
    desktop_.AdvanceClock(100);
    EXPECT_EQ(ticks_, (std::vector<std::string>{"fast@30", "slow@50", "fast@60", "fast@90", "slow@100"}));
}

TEST_F(TimerTest, SettingThePeriodRestartsTheTimerAndZeroStopsIt) {
    RecordTicks(kFast);
    SetPeriod(kFast, 100);
    desktop_.AdvanceClock(90);
    SetPeriod(kFast, 100);
    desktop_.AdvanceClock(100);
    SetPeriod(kFast, 0);
    desktop_.AdvanceClock(1000);
    EXPECT_EQ(ticks_, std::vector<std::string>{"fast@190"});
}

TEST_F(TimerTest, AHandlerThatSetsItsOwnPeriodWins) {
    RecordTicks(kFast, [this] { SetPeriod(kFast, 250); });
    SetPeriod(kFast, 100);
    desktop_.AdvanceClock(600);
    EXPECT_EQ(ticks_, (std::vector<std::string>{"fast@100", "fast@350", "fast@600"}));
}

TEST_F(TimerTest, TicksMissedWhileAHandlerSleptComeOnceAndKeepTheRhythm) {
    bool slept = false;
    RecordTicks(kFast, [&] {
        if (!slept) {
            slept = true;
            desktop_.Sleep(350);
        }
    });
    SetPeriod(kFast, 100);
    desktop_.AdvanceClock(500);
    EXPECT_EQ(ticks_, (std::vector<std::string>{"fast@100", "fast@450", "fast@500"}));
}

TEST_F(TimerTest, DelayWithEventsRunsTimersAndReentersTheirHandlers) {
    int depth = 0;
    int deepest = 0;
    RecordTicks(kFast, [&] {
        ++depth;
        deepest = std::max(deepest, depth);
        if (depth == 1 && ticks_.size() == 1) {
            desktop_.DelayWithEvents(150);
        }
        --depth;
    });
    SetPeriod(kFast, 100);
    desktop_.AdvanceClock(300);
    EXPECT_EQ(deepest, 2);
    EXPECT_EQ(ticks_, (std::vector<std::string>{"fast@100", "fast@200", "fast@300"}));
}

TEST_F(TimerTest, DelayWithEventsInsideAClickDeliversPostedEventsAndTakesItsTime) {
    std::vector<std::string> order;
    desktop_.Bind(kSlow, EventKind::kTick, [&](const Event&) {
        order.push_back("tick");
        return true;
    });
    desktop_.Bind({"main", "wait"}, EventKind::kClicked, [&](const Event&) {
        desktop_.PostEvent(Event{EventKind::kTick, kSlow});
        desktop_.DelayWithEvents(20);
        order.push_back("waited");
        desktop_.DelayWithEvents(0);
        return true;
    });
    desktop_.Click({"main", "wait"});
    EXPECT_EQ(order, (std::vector<std::string>{"tick", "waited"}));
    EXPECT_EQ(desktop_.now_ms(), 20);
}

TEST_F(TimerTest, SleepPassesTimeWithoutEvents) {
    RecordTicks(kFast);
    SetPeriod(kFast, 10);
    desktop_.Sleep(100);
    desktop_.Sleep(-5);
    EXPECT_TRUE(ticks_.empty());
    EXPECT_EQ(desktop_.now_ms(), 100);
}

TEST_F(TimerTest, ClosingTheWindowStopsItsTimers) {
    RecordTicks(kFast);
    SetPeriod(kFast, 10);
    desktop_.CloseWindow("main", true);
    desktop_.AdvanceClock(100);
    EXPECT_TRUE(ticks_.empty());
}

TEST_F(TimerTest, LocalTimeRunsWithTheVirtualClock) {
    desktop_.SetLocalDateTime(DateTime{2024, 2, 28, 23, 59, 30});
    desktop_.AdvanceClock(45'000);
    EXPECT_EQ(Now(), (DateTime{2024, 2, 29, 0, 0, 15}));
    desktop_.AdvanceClock(86'400'000);
    EXPECT_EQ(Now(), (DateTime{2024, 3, 1, 0, 0, 15}));
}

TEST(HeadlessClockTest, LocalTimeGoesBackToTheSystemWithTheDesktop) {
    {
        HeadlessDesktop desktop;
        desktop.SetLocalDateTime(DateTime{1999, 12, 31, 23, 59, 59});
        EXPECT_EQ(Now().year, 1999);
    }
    EXPECT_GE(Now().year, 2024);
}

}  // namespace
}  // namespace yz::test
