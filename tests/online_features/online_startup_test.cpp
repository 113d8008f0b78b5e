// The online steps of start-up, with the server there and without it.

#include <gtest/gtest.h>

#include "online_features/online_fixture.h"
#include "settings/config_keys.h"

namespace yz::test {
namespace {

using namespace ui;

const Text kNoConnection =
    "<font color=red>无法连接到官网.请检查网络状态或护软拦截.\r\n放弃启动部份网络功能(如:版本升级.作品展示等)</font>";
const Text kNewVersion = "<font color=red>[砚舟文匣]已发布新版本.请至官网或合作站点下载更新</font>";

// Where both notices point: the main window's right edge less 30, 80 below its top.
BalloonRecord Notice(const HeadlessDesktop& desktop, const Text& text, bool flag) {
    const auto left = GetNumber(desktop, 主窗, Property::kLeft);
    const auto top = GetNumber(desktop, 主窗, Property::kTop);
    return BalloonRecord{气球客服, static_cast<int>(left + 500 - 30), static_cast<int>(top + 80), text, -1, flag};
}

using OfflineStartupTest = ProgramTest;
using OnlineStartupTest = OnlineTest;

TEST_F(OfflineStartupTest, UnreachableServerGivesTheRedNoticeAfterTwoSecondsAndNoTimer) {
    ASSERT_TRUE(Start());
    EXPECT_GE(desktop_.now_ms(), 2000);
    ASSERT_EQ(desktop_.balloons().size(), 1u);
    EXPECT_EQ(desktop_.balloons()[0], Notice(desktop_, kNoConnection, true));
    for (const ControlRef* timer : {&在线时钟, &播报时钟, &广告时钟}) {
        EXPECT_EQ(GetNumber(desktop_, *timer, Property::kPeriod), 0) << Show(timer->control);
    }
    EXPECT_TRUE(desktop_.opened_urls().empty());
    EXPECT_EQ(ReadTutorialMonth(), "");
    EXPECT_EQ(program_->values().address_text, "");
}

TEST_F(OnlineStartupTest, ReachableServerStartsEveryTimerAndFillsTheAddressText) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(desktop_.balloons().empty());
    EXPECT_EQ(Period(在线时钟), 15000);
    EXPECT_EQ(Period(播报时钟), 5000);
    EXPECT_EQ(Period(广告时钟), 300000);
    EXPECT_EQ(program_->values().address_text.rfind("127.0.0.1] 来自：", 0), 0u)
        << Show(program_->values().address_text);
    EXPECT_FALSE(program_->values().feedback_sent);
}

TEST_F(OnlineStartupTest, WithoutAddressTextThePresenceTimerStaysStopped) {
    deployment_.ip_lookup_address = ServerAddress() + "/no-such-page";
    ASSERT_TRUE(Start());
    EXPECT_EQ(program_->values().address_text, "");
    EXPECT_EQ(Period(在线时钟), 0);
    EXPECT_EQ(Period(播报时钟), 5000);
    EXPECT_EQ(Period(广告时钟), 300000);
}

TEST_F(OnlineStartupTest, TutorialOpensOncePerMonth) {
    ASSERT_TRUE(Start());  // 8 December, nothing stored
    EXPECT_EQ(desktop_.opened_urls(), std::vector<Text>{deployment_.tutorial_address});
    EXPECT_EQ(ReadTutorialMonth(), "12");
    EXPECT_EQ(desktop_.FocusedControl(), 主编框);
}

TEST_F(OnlineStartupTest, TutorialStaysClosedLaterInTheSameMonth) {
    WriteConfig("[功能配置]\r\nwikyxqq=12\r\n");
    desktop_.SetLocalDateTime(DateTime{2026, 12, 31, 23, 0, 0});
    ASSERT_TRUE(Start());
    EXPECT_TRUE(desktop_.opened_urls().empty());
    EXPECT_EQ(Period(播报时钟), 5000);  // the sequence ran on
}

TEST_F(OnlineStartupTest, NewMonthOpensTheTutorialAgain) {
    WriteConfig("[功能配置]\r\nwikyxqq=12\r\n");
    desktop_.SetLocalDateTime(DateTime{2027, 1, 2, 9, 0, 0});
    ASSERT_TRUE(Start());
    EXPECT_EQ(desktop_.opened_urls(), std::vector<Text>{deployment_.tutorial_address});
    EXPECT_EQ(ReadTutorialMonth(), "1");
}

TEST_F(OnlineStartupTest, NewerVersionOnTheServerGivesTheNotice) {
    Admin({"set-version", "4.3"});
    WriteConfig("[功能配置]\r\nwikyxqq=12\r\n");
    ASSERT_TRUE(Start());
    ASSERT_EQ(desktop_.balloons().size(), 1u);
    EXPECT_EQ(desktop_.balloons()[0], Notice(desktop_, kNewVersion, false));
    EXPECT_EQ(Period(播报时钟), 5000);  // the notice stops nothing
}

TEST_F(OnlineStartupTest, NoVersionOnTheServerGivesNoNotice) {
    ASSERT_TRUE(Start());  // an empty answer reads as 0
    EXPECT_TRUE(desktop_.balloons().empty());
    EXPECT_EQ(Period(广告时钟), 300000);
}

TEST_F(OnlineStartupTest, SameVersionGivesNoNotice) {
    Admin({"set-version", "4.2"});
    ASSERT_TRUE(Start());
    EXPECT_TRUE(desktop_.balloons().empty());
    EXPECT_EQ(Period(广告时钟), 300000);
}

}  // namespace
}  // namespace yz::test
