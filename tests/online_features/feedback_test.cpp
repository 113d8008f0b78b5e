// The feedback window and the announcements, against a real server (and without one).

#include <gtest/gtest.h>

#include "online_features/online_fixture.h"
#include "runtime/encoding.h"
#include "runtime/files.h"
#include "support/scripted_server.h"

namespace yz::test {
namespace {

using namespace ui;

constexpr int kAnnouncementMs = 300000;
// A one-pixel GIF.
const Text kPicture(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
    "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
    43);

class FeedbackTest : public OnlineTest {
  protected:
    FeedbackTest() { WriteConfig("[功能配置]\r\nwikyxqq=12\r\n"); }

    // Opens the feedback window, types both boxes and submits, answering the box that follows;
    // when the window stays open the writer closes it.
    MessageBoxRecord SendFeedback(const Text& nickname, const Text& text) {
        MessageBoxRecord shown;
        desktop_.QueueUserAction([this, nickname, text, &shown] {
            EXPECT_EQ(GetText(desktop_, 反馈窗, Property::kTitle), "建议反馈 良言收集");
            if (!nickname.empty()) {
                EXPECT_TRUE(desktop_.TypeText(昵称框, nickname));
            }
            if (!text.empty()) {
                EXPECT_TRUE(desktop_.TypeText(正文框, text));
            }
            desktop_.QueueMessageBoxAnswer(kResultOk);
            EXPECT_TRUE(desktop_.Click(提交按钮));
            shown = LastMessageBox();
            desktop_.RunPending();  // a close asked for by the handler
            if (desktop_.Exists(反馈窗)) {
                still_open_ = {GetText(desktop_, 昵称框, Property::kText), GetText(desktop_, 正文框, Property::kText)};
                desktop_.QueueUserAction([this] { desktop_.RequestClose(kFeedbackWindow); });
            }
        });
        EXPECT_TRUE(desktop_.PickMenuItem(kMainWindow, "建议反馈 [收集]"));
        return shown;
    }

    std::pair<Text, Text> still_open_;
};

TEST_F(FeedbackTest, ChecksRefuseEmptyAndShortTextsAndKeepTheWindowOpen) {
    ASSERT_TRUE(Start());
    const MessageBoxRecord empty_name{"姓名和反馈内容不可为空.", kMbTaskModal, "反馈失败:"};
    EXPECT_EQ(SendFeedback("", "一段足够长的反馈内容"), empty_name);
    EXPECT_EQ(SendFeedback("青灯", ""), empty_name);
    // Ten bytes say nothing; eleven do.
    EXPECT_EQ(SendFeedback("青灯", "五个汉字呀"),
              (MessageBoxRecord{"请输入有效的反馈内容.", kMbTaskModal, "反馈失败:"}));
    EXPECT_EQ(still_open_, (std::pair<Text, Text>{"青灯", "五个汉字呀"}));
    EXPECT_FALSE(program_->values().feedback_sent);
    EXPECT_EQ(SendFeedback("青灯", "五个汉字呀!"),
              (MessageBoxRecord{"您的建议已经提交至开发组.感谢您的良言益语.", kMbTaskModal, "反馈成功!"}));
    EXPECT_FALSE(desktop_.Exists(反馈窗));
    EXPECT_TRUE(program_->values().feedback_sent);
    EXPECT_NE(Admin({"list-feedback"}).find(Utf8FromGbk("五个汉字呀!")), std::string::npos);
}

TEST_F(FeedbackTest, SentFlagRefusesUntilTheNextAnnouncementTickClearsIt) {
    ASSERT_TRUE(Start());
    SendFeedback("青灯", "界面很好看,谢谢开发者");
    ASSERT_TRUE(program_->values().feedback_sent);

    desktop_.QueueMessageBoxAnswer(kResultOk);
    ASSERT_TRUE(desktop_.PickMenuItem(kMainWindow, "建议反馈 [收集]"));
    EXPECT_EQ(LastMessageBox(),
              (MessageBoxRecord{"请的建议反馈已经提交.请稍候再作此操作.", kMbTaskModal, "操作提示:"}));
    EXPECT_FALSE(desktop_.Exists(反馈窗));

    // That tick only clears the flag: no announcement window, even with one to show.
    ASSERT_TRUE(WriteFileBytes(dir_.File("a.gif"), {kPicture}));
    Admin({"set-announcement", "--image", (dir_.native() / "a.gif").string(), "--link", "http://news.example/1",
           "--show", "yes"});
    desktop_.AdvanceClock(kAnnouncementMs);
    EXPECT_FALSE(program_->values().feedback_sent);
    EXPECT_FALSE(desktop_.Exists(公告窗));
    EXPECT_EQ(SendFeedback("青灯", "再来一条建议内容"),
              (MessageBoxRecord{"您的建议已经提交至开发组.感谢您的良言益语.", kMbTaskModal, "反馈成功!"}));
}

TEST_F(FeedbackTest, FailedRequestKeepsTheTextAndLetsTheWriterSendAgain) {
    deployment_.server_base_address = "http://";
    ASSERT_TRUE(Start());
    EXPECT_EQ(SendFeedback("青灯", "这是一条反馈内容"),
              (MessageBoxRecord{"您的问题提交失败.请检查网络配置.", kMbTaskModal, "反馈失败:"}));
    EXPECT_EQ(still_open_, (std::pair<Text, Text>{"青灯", "这是一条反馈内容"}));
    EXPECT_FALSE(program_->values().feedback_sent);
}

TEST_F(FeedbackTest, ShownAnnouncementSitsInTheCornerWithItsPictureAndOpensItsLink) {
    ASSERT_TRUE(WriteFileBytes(dir_.File("a.gif"), {kPicture}));
    Admin({"set-announcement", "--image", (dir_.native() / "a.gif").string(), "--link", "http://news.example/1",
           "--show", "yes"});
    desktop_.SetScreenSize(1280, 800);
    ASSERT_TRUE(Start());
    desktop_.AdvanceClock(kAnnouncementMs - 1);
    EXPECT_FALSE(desktop_.Exists(公告窗));
    desktop_.AdvanceClock(1);
    ASSERT_TRUE(desktop_.Exists(公告窗));
    EXPECT_EQ(GetNumber(desktop_, 公告窗, Property::kLeft), 1280 - 360);
    EXPECT_EQ(GetNumber(desktop_, 公告窗, Property::kTop), 800 - 294);
    EXPECT_EQ(desktop_.BackgroundPicture(kAnnouncementWindow), BytesOf(kPicture));

    // Shown again at the next tick while still there.
    desktop_.AdvanceClock(kAnnouncementMs);
    ASSERT_TRUE(desktop_.Exists(公告窗));
    ASSERT_TRUE(desktop_.RightClick(公告窗));
    desktop_.RunPending();
    EXPECT_FALSE(desktop_.Exists(公告窗));
    EXPECT_EQ(desktop_.opened_urls(), std::vector<Text>{"http://news.example/1"});
}

TEST_F(FeedbackTest, AnnouncementNotMarkedShownClosesUnseen) {
    ASSERT_TRUE(WriteFileBytes(dir_.File("a.gif"), {kPicture}));
    Admin({"set-announcement", "--image", (dir_.native() / "a.gif").string(), "--link", "http://news.example/1",
           "--show", "no"});
    ASSERT_TRUE(Start());
    desktop_.AdvanceClock(kAnnouncementMs);
    desktop_.RunPending();
    EXPECT_FALSE(desktop_.Exists(公告窗));
    EXPECT_TRUE(desktop_.opened_urls().empty());
}

// A server that gives every page the same answer; a real one never sends these.
class BrokenAnnouncementTest : public FeedbackTest {
  protected:
    void ExpectClosedUnseen(const char* body) {
        ScriptedServer server(HttpResponse(body));
        deployment_.server_base_address = server.Address("");
        ASSERT_TRUE(Start());
        desktop_.AdvanceClock(kAnnouncementMs);
        desktop_.RunPending();
        EXPECT_FALSE(desktop_.Exists(公告窗));
        EXPECT_TRUE(desktop_.opened_urls().empty());
        EXPECT_NE(server.LastRequestLine().find("/lszbgg.asp?id=1"), std::string::npos);
    }
};

TEST_F(BrokenAnnouncementTest, TwoPartsOnly) {
    ExpectClosedUnseen("a.gif●http://news.example/1");
}

TEST_F(BrokenAnnouncementTest, FlagWithALineBreak) {
    ExpectClosedUnseen("a.gif●http://news.example/1●真\r\n");
}

// A click on it would hand the share's program to the shell.
TEST_F(BrokenAnnouncementTest, LinkThatIsNoWebAddressIsNotOpened) {
    ScriptedServer server(HttpResponse("a.gif●file://host/share/setup.exe?http://●真"));
    deployment_.server_base_address = server.Address("");
    ASSERT_TRUE(Start());
    desktop_.AdvanceClock(kAnnouncementMs);
    ASSERT_TRUE(desktop_.Exists(公告窗));
    ASSERT_TRUE(desktop_.RightClick(公告窗));
    desktop_.RunPending();
    EXPECT_TRUE(desktop_.opened_urls().empty());
}

TEST_F(BrokenAnnouncementTest, NoMarkAtAll) {
    ExpectClosedUnseen("a.gif");
}

}  // namespace
}  // namespace yz::test
