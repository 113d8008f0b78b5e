// The chat panel and sending: opening and closing, the probe and the checks before a message goes
// out, the own balloon, and what a failed send says.

#include "app/chat_fixture.h"

namespace yz::test {
namespace {

TEST_F(ChatTest, PanelOpensEmptyWithTheFocusAndTheSameCommandClosesIt) {
    OpenPanel();
    EXPECT_TRUE(Shown(发言框));
    EXPECT_TRUE(Enabled(发言框));
    EXPECT_EQ(desktop_.FocusedControl(), 发言框);
    EXPECT_FALSE(Enabled(主编框));
    for (const ControlRef* label : {&操作标签, &编辑标签, &功能标签, &设置标签, &帮助标签}) {
        EXPECT_FALSE(Shown(*label));
        EXPECT_FALSE(Enabled(*label));
    }
    EXPECT_TRUE(Shown(返回超钮));
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2" + kOpenTail);
    ASSERT_TRUE(desktop_.TypeText(发言框, "unsent"));

    // The hotkey Alt+E is the same command: the panel is open, so it closes.
    ASSERT_TRUE(desktop_.PressGlobalKey('E', vk::kAlt));
    ExpectPanelClosed();

    ASSERT_TRUE(desktop_.PressGlobalKey('E', vk::kAlt));
    EXPECT_TRUE(Shown(发言框));
    EXPECT_EQ(TextOf(发言框), "");
}

TEST_F(ChatTest, SentMessageGoesOutAsTypedAndShowsAtOnceThenAgainWhenItComesBack) {
    Send("hi 砚舟\r\n第二行");
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 匿名发言发送成功!");
    ASSERT_FALSE(desktop_.balloons().empty());
    const BalloonRecord own = ExpectedBalloon("<font color=Blue>[潜水写手]说: hi 砚舟\r\n第二行</font>");
    EXPECT_EQ(desktop_.balloons()[0], own);
    EXPECT_EQ(TextOf(发言框), "");
    ExpectPanelClosed();
    EXPECT_EQ(Heard(), Text("X^XZhi 砚舟\r\n第二行"));

    // This copy hears its own broadcast too and shows it a second time.
    AwaitBalloons(2);
    EXPECT_EQ(desktop_.balloons()[1], own);
}

TEST_F(ChatTest, EachRefusalSaysWhyClosesThePanelAndSendsNothing) {
    struct Case {
        Text message;
        Text tail;
    };
    const Case cases[] = {
        {"  　 ", " --霁川软件 你所发送的内容为空已被放弃."},
        {"你真是个sb", " --霁川软件 输入的内容涉嫌违禁无法发送."},
        {"NmSl", " --霁川软件 输入的内容涉嫌违禁无法发送."},
        {"一个傻逼似的", " --霁川软件 输入的内容涉嫌违禁无法发送."},
        {"屌", " --霁川软件 输入的内容涉嫌违禁无法发送."},
        {" 　\r\n后面还有字", " --霁川软件 你所发送的空内容已被放弃."},
    };
    for (const Case& refused : cases) {
        SCOPED_TRACE(Show(refused.message));
        Send(refused.message);
        EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2" + refused.tail);
        EXPECT_EQ(TextOf(发言框), "");
        ExpectPanelClosed();
    }
    EXPECT_TRUE(desktop_.balloons().empty());

    portal_up_ = false;
    desktop_.QueueMessageBoxAnswer(kResultOk);
    Send("no network");
    EXPECT_EQ(LastMessageBox(), (MessageBoxRecord{"当前无网络支持此项功能\r\n\r\n请检查您的网络相关设置",
                                                  kMbOk | kMbIconError | kMbTaskModal, "错误提醒:"}));
    ExpectPanelClosed();

    // The first datagram that went out is the one sent after all the refusals.
    portal_up_ = true;
    Send("ok");
    EXPECT_EQ(Heard(), Text("X^XZok"));
}

TEST_F(ChatTest, BannedWordsAreSoughtOnCharacterBoundariesOnly) {
    // The bytes of "SB" and of 傻逼 (C9 B5 B1 C6) both occur here, but each starts on the second
    // byte of a character: 丂 is 81 53, and B0 C9 / B5 B1 / C6 B0 are three characters.
    Send("\x81SB \xB0\xC9\xB5\xB1\xC6\xB0");
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 匿名发言发送成功!");
    EXPECT_EQ(Heard(), Text("X^XZ\x81SB \xB0\xC9\xB5\xB1\xC6\xB0"));
}

// Sends to port 0, which no datagram can go to: every send fails.
class ChatSendFailureTest : public ChatTest {
  protected:
    ChatSendFailureTest() { deployment_.broadcast_port = 0; }
};

// A failed send reports itself and keeps the text where it was typed, ready to send again.
TEST_F(ChatSendFailureTest, AFailedSendIsReportedAndKeepsTheText) {
    Send("not lost");
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 匿名发言发送失败!");
    EXPECT_TRUE(desktop_.balloons().empty());
    EXPECT_TRUE(Shown(发言框));
    EXPECT_EQ(TextOf(发言框), "not lost");
    EXPECT_EQ(desktop_.FocusedControl(), 发言框);

    ASSERT_TRUE(desktop_.PressKey(发言框, kF11, vk::kCtrl | vk::kAlt));
    ASSERT_TRUE(desktop_.TypeText(密令编框, "47085316"));
    ASSERT_TRUE(desktop_.PressKey(密令编框, kEnter));
    ASSERT_TRUE(desktop_.TypeText(客服编框, "notice"));
    ASSERT_TRUE(desktop_.PressKey(客服编框, kEnter));
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 客服公告发送失败!");
    EXPECT_EQ(TextOf(客服编框), "notice");
}

}  // namespace
}  // namespace yz::test
