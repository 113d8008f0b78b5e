// Receiving chat datagrams: the balloons of messages and announcements, presence notices and the
// operator console with its online list; and two programs on loopback talking to each other.

#include "app/chat_fixture.h"
#include "runtime/convert.h"
#include "support/temp_dir.h"

namespace yz::test {
namespace {

using ChatReceiveTest = ChatTest;

TEST_F(ChatReceiveTest, MessagesAndAnnouncementsShowAsBalloonsAndOtherDatagramsAreIgnored) {
    Deliver("X^XZ你好 world");
    Deliver("K^XZ今晚维护");
    Deliver("K^XZ");
    for (const Text& ignored : {Text("A^XZhello"), Text("X^X"), Text(""), Text("x^xzlower")}) {
        Deliver(ignored);
    }
    ASSERT_EQ(desktop_.balloons().size(), 3u);
    EXPECT_EQ(desktop_.balloons()[0], ExpectedBalloon("<font color=Blue>[潜水写手]说: 你好 world</font>"));
    EXPECT_EQ(desktop_.balloons()[1], ExpectedBalloon("<font color=red>『霁川客服』: 今晚维护</font>"));
    EXPECT_EQ(desktop_.balloons()[2], ExpectedBalloon("<font color=red>『霁川客服』: </font>"));

    // The balloon follows the main window.
    ASSERT_TRUE(desktop_.MoveWindowByUser(kMainWindow, 100, 50));
    Deliver("X^XZmoved");
    EXPECT_EQ(desktop_.balloons().back().x, 100 + 500 - 30);
    EXPECT_EQ(desktop_.balloons().back().y, 50 + 60);
}

TEST_F(ChatReceiveTest, ReceivedMarkupIsShownAsTextNeverAsMarkup) {
    Deliver("X^XZ</font><font color=red>『霁川客服』: 假公告 & <br>");
    EXPECT_EQ(desktop_.balloons().back().rich_text,
              "<font color=Blue>[潜水写手]说: &lt;/font&gt;&lt;font color=red&gt;『霁川客服』: 假公告 &amp; "
              "&lt;br&gt;</font>");
}

TEST_F(ChatReceiveTest, ZeroBytesAndCutCharactersAreHandled) {
    Deliver(Text("X^XZab\0cd", 9));
    EXPECT_EQ(desktop_.balloons().back().rich_text, "<font color=Blue>[潜水写手]说: ab</font>");
    Deliver(Text("\0X^XZhidden", 11));
    EXPECT_EQ(desktop_.balloons().size(), 1u);
    // A lead byte at the end, or before a byte no character ends with, shows as '?'.
    Deliver("X^XZ砚\xD6");
    EXPECT_EQ(desktop_.balloons().back().rich_text, "<font color=Blue>[潜水写手]说: 砚?</font>");
    Deliver("X^XZ\xD6<font color=red>");
    EXPECT_EQ(desktop_.balloons().back().rich_text, "<font color=Blue>[潜水写手]说: ?&lt;font color=red&gt;</font>");
    Deliver(Text(70000, 'X'));
    Deliver("X^XZ" + Text(65000, '\xB0'));
    EXPECT_EQ(desktop_.balloons().size(), 4u);
}

// A balloon shows no more than a writer can type: a 64 KiB datagram would cover the screen.
TEST_F(ChatReceiveTest, BalloonsShowAtMostSeventyTwoBytesCutOnACharacter) {
    // The limit counts the bytes received, not the markup they are escaped into.
    Text escaped;
    for (int i = 0; i < 72; ++i) {
        escaped += "&lt;";
    }
    Deliver("X^XZ" + Text(72, '<'));
    EXPECT_EQ(desktop_.balloons().back().rich_text, "<font color=Blue>[潜水写手]说: " + escaped + "</font>");
    // One ASCII byte and 36 characters: the 36th would end at byte 73.
    Text chinese;
    for (int i = 0; i < 36; ++i) {
        chinese += "砚";
    }
    Deliver("K^XZa" + chinese);
    EXPECT_EQ(desktop_.balloons().back().rich_text,
              "<font color=red>『霁川客服』: a" + chinese.substr(0, 70) + "…</font>");
    Deliver("X^XZ" + Text(65000, 'X'));
    EXPECT_EQ(desktop_.balloons().back().rich_text, "<font color=Blue>[潜水写手]说: " + Text(72, 'X') + "…</font>");
}

TEST_F(ChatReceiveTest, PresenceWithoutTheConsoleOnlyResetsTheCounter) {
    Deliver("Z^XZ10.0.0.1] 来自：北京");
    EXPECT_EQ(TextOf(在线标签), "当前在线用户人数: 0 ");
    EXPECT_EQ(desktop_.ListViewItemCount(用户超表框), 0);
    EXPECT_TRUE(desktop_.balloons().empty());
}

TEST_F(ChatReceiveTest, ConsoleUnlocksWithTheCodeAndListsWhoIsOnline) {
    OpenPanel();
    ASSERT_TRUE(desktop_.PressKey(发言框, kF11, vk::kCtrl | vk::kAlt));
    EXPECT_TRUE(desktop_.IsEffectivelyVisible(管理选夹));
    EXPECT_EQ(desktop_.TabPage(管理选夹), 1);
    EXPECT_EQ(desktop_.TabCaptions(管理选夹)[1], "客服密令");
    EXPECT_TRUE(desktop_.IsEffectivelyVisible(密令编框));
    EXPECT_FALSE(desktop_.IsEffectivelyVisible(用户超表框));

    ASSERT_TRUE(desktop_.TypeText(密令编框, "47085316"));
    ASSERT_TRUE(desktop_.PressKey(密令编框, kEnter));
    EXPECT_EQ(desktop_.TabPage(管理选夹), 0);
    EXPECT_EQ(desktop_.TabCaptions(管理选夹)[0], "在线管理");
    EXPECT_TRUE(desktop_.IsEffectivelyVisible(用户超表框));
    EXPECT_EQ(desktop_.ListViewColumns(用户超表框), (std::vector<Text>{"序号", "用户IP↓", "用户地址↓", "在线时间↓"}));

    // 14:30:00 on 8 December 2026 when the fixture starts; the seconds show once they are not 0.
    Deliver("Z^XZ10.0.0.1] 来自：北京");
    EXPECT_EQ(TextOf(在线标签), "当前在线用户人数: 0");
    desktop_.AdvanceClock(15000);
    Deliver("Z^XZ10.0.0.2] 来自：上海");
    EXPECT_EQ(TextOf(在线标签), "当前在线用户人数: 1");
    desktop_.AdvanceClock(15000);
    Deliver("Z^XZ10.0.0.1] 来自：北京");
    // Without the separator the whole body is the address and the location stays empty.
    Deliver("Z^XZ10.0.0.3");
    EXPECT_EQ(TextOf(在线标签), "当前在线用户人数: 2");

    const std::vector<std::vector<Text>> expected = {
        {"0", "10.0.0.1", "北京", "2026年12月8日14时30分30秒"},
        {"1", "10.0.0.2", "上海", "2026年12月8日14时30分15秒"},
        {"2", "10.0.0.3", "", "2026年12月8日14时30分30秒"},
    };
    ASSERT_EQ(desktop_.ListViewItemCount(用户超表框), 3);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(desktop_.ListViewGetText(用户超表框, row, column), expected[row][column]) << row << "," << column;
        }
    }

    // The close button hides the console; the chat box gets the focus back.
    ASSERT_TRUE(desktop_.Click(按钮1));
    EXPECT_FALSE(Shown(管理选夹));
    EXPECT_FALSE(Enabled(管理选夹));
    EXPECT_EQ(desktop_.FocusedControl(), 发言框);
}

// Presence notices from made-up addresses must not grow the list without end, and a long
// address is still one row.
TEST_F(ChatReceiveTest, OnlineListKeepsAThousandRowsDroppingTheOneHeardFromLongestAgo) {
    UnlockConsole();
    const Text long_address = Text(64, '1');
    Deliver("Z^XZ" + long_address + "2] 来自：" + Text(100, 'L'));
    Deliver("Z^XZ" + long_address + "3] 来自：远方");
    ASSERT_EQ(desktop_.ListViewItemCount(用户超表框), 1);
    EXPECT_EQ(desktop_.ListViewGetText(用户超表框, 0, 1), long_address);
    EXPECT_EQ(desktop_.ListViewGetText(用户超表框, 0, 2), Text(64, 'L'));

    for (int i = 1; i < 1000; ++i) {
        Deliver("Z^XZ10.0." + ToText(i / 256) + "." + ToText(i % 256) + "] 来自：某地");
    }
    ASSERT_EQ(desktop_.ListViewItemCount(用户超表框), 1000);
    // The first row is heard from again; the second is now the one heard from longest ago.
    Deliver("Z^XZ" + long_address + "] 来自：远方");
    Deliver("Z^XZ192.168.0.1] 来自：新来");
    ASSERT_EQ(desktop_.ListViewItemCount(用户超表框), 1000);
    EXPECT_EQ(desktop_.ListViewGetText(用户超表框, 0, 1), long_address);
    EXPECT_EQ(desktop_.ListViewGetText(用户超表框, 1, 1), "10.0.0.2");
    EXPECT_EQ(desktop_.ListViewGetText(用户超表框, 999, 0), "999");
    EXPECT_EQ(desktop_.ListViewGetText(用户超表框, 999, 1), "192.168.0.1");
    EXPECT_EQ(TextOf(在线标签), "当前在线用户人数: 999");
    // The rows that stayed still find themselves.
    Deliver("Z^XZ10.0.3.231] 来自：某地");
    EXPECT_EQ(desktop_.ListViewItemCount(用户超表框), 1000);
}

TEST_F(ChatReceiveTest, UnlockingTwiceAddsTheColumnsTwice) {
    UnlockConsole();
    ASSERT_TRUE(desktop_.PressKey(发言框, kF11, vk::kCtrl | vk::kAlt));
    ASSERT_TRUE(desktop_.PressKey(密令编框, kEnter));
    EXPECT_EQ(desktop_.ListViewColumns(用户超表框), (std::vector<Text>{"序号", "用户IP↓", "用户地址↓", "在线时间↓",
                                                                       "序号", "用户IP↓", "用户地址↓", "在线时间↓"}));
}

TEST_F(ChatReceiveTest, AWrongCodeClosesTheConsoleAndKeepsTheCode) {
    OpenPanel();
    ASSERT_TRUE(desktop_.PressKey(发言框, kF11, vk::kCtrl | vk::kAlt));
    ASSERT_TRUE(desktop_.TypeText(密令编框, "12345678"));
    ASSERT_TRUE(desktop_.PressKey(密令编框, kEnter));
    EXPECT_FALSE(Shown(管理选夹));
    EXPECT_FALSE(Enabled(管理选夹));
    EXPECT_EQ(desktop_.FocusedControl(), 发言框);
    EXPECT_EQ(TextOf(密令编框), "12345678");
    EXPECT_TRUE(desktop_.ListViewColumns(用户超表框).empty());

    // Only exactly Ctrl+Alt opens it.
    ASSERT_TRUE(desktop_.PressKey(发言框, kF11, vk::kCtrl | vk::kAlt | vk::kShift));
    EXPECT_FALSE(Shown(管理选夹));
}

TEST_F(ChatReceiveTest, AnnouncementsGoOutUnfilteredAndEvenEmpty) {
    UnlockConsole();
    ASSERT_TRUE(desktop_.TypeText(客服编框, "傻逼也发"));
    ASSERT_TRUE(desktop_.PressKey(客服编框, kEnter));
    EXPECT_EQ(Heard(), Text("K^XZ傻逼也发"));
    EXPECT_EQ(TextOf(客服编框), "");
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 客服公告发送成功!");

    ASSERT_TRUE(desktop_.PressKey(客服编框, kEnter));
    EXPECT_EQ(Heard(), Text("K^XZ"));
    // Both come back to this copy as balloons.
    AwaitBalloons(2);
    EXPECT_EQ(desktop_.balloons()[1].rich_text, "<font color=red>『霁川客服』: </font>");
}

TEST_F(ChatReceiveTest, PresenceTimerBroadcastsTheAddressText) {
    program_->values().address_text = "127.0.0.1] 来自：本机";
    desktop_.SetProperty(在线时钟, Property::kPeriod, std::int64_t{15000});
    desktop_.AdvanceClock(15000);
    EXPECT_EQ(Heard(), Text("Z^XZ127.0.0.1] 来自：本机"));
    desktop_.AdvanceClock(15000);
    EXPECT_EQ(Heard(), Text("Z^XZ127.0.0.1] 来自：本机"));
}

TEST_F(ChatReceiveTest, TwoProgramsOnLoopbackTalkToEachOther) {
    TempDir other_dir;
    Deployment other_deployment = deployment_;
    other_deployment.lock_file_path = other_dir.File("lock");
    HeadlessDesktop other_desktop;
    other_desktop.SetProblemHandler([](const Text& problem) { ADD_FAILURE() << "other desktop: " << Show(problem); });
    Program other(other_desktop, other_deployment);
    ASSERT_TRUE(other.Start());
    other_desktop.ForgetBalloons();  // the start-up's no-server notice
    ASSERT_TRUE(other_desktop.DatagramBound(数据报));

    Send("两个窗口 hello");
    while (other_desktop.balloons().empty() && other_desktop.WaitForDatagram(kWaitMs)) {
    }
    ASSERT_EQ(other_desktop.balloons().size(), 1u);
    EXPECT_EQ(other_desktop.balloons()[0].rich_text, "<font color=Blue>[潜水写手]说: 两个窗口 hello</font>");
}

}  // namespace
}  // namespace yz::test
