// The showcase against a real server: publishing from the panel, the ticker's order and look, the
// mutual-help visit and the writer's own visitors.

#include <gtest/gtest.h>

#include <set>

#include "online/web_answers.h"
#include "online/web_requests.h"
#include "online_features/online_fixture.h"
#include "runtime/net.h"
#include "runtime/text.h"
#include "settings/config_keys.h"
#include "support/scripted_server.h"

namespace yz::test {
namespace {

using namespace ui;

constexpr int kTickMs = 5000;
constexpr int kTaskModal = kMbTaskModal;
const Text kNoPenName =
    "由于程序并未检测到您的[笔名/昵称].\r\n\r\n若以游客身份添加互助记录.会造成对方无法进行回访操作\r\n\r\n"
    "请先展示您的作品,程序会自动以您的笔名完成互访记录.";

class ShowcaseOnlineTest : public OnlineTest {
  protected:
    // The ticker texts of the works on the server, in the server's order.
    std::vector<Text> ServedTexts() const {
        std::vector<Text> texts;
        for (const Text& entry : ReadWorksList(HttpReadFile(WorksListAddress(ServerAddress())))) {
            const std::optional<WorkEntry> work = ReadWorkEntry(entry);
            texts.push_back("〖" + work->pen_name + "〗展示作品:【" + work->work_name + "】 " + work->motto);
        }
        return texts;
    }
    // Ticks until the ticker shows the entry of `pen_name`.
    bool TickTo(const Text& pen_name) {
        for (int tick = 0; tick < 10; ++tick) {
            if (FindText(Ticker(), "〖" + pen_name + "〗") == 1) {
                return true;
            }
            desktop_.AdvanceClock(kTickMs);
        }
        return false;
    }
    // The addresses opened in the browser, but for the monthly tutorial page.
    std::vector<Text> OpenedWorks() const {
        std::vector<Text> works;
        for (const Text& url : desktop_.opened_urls()) {
            if (url != deployment_.tutorial_address) {
                works.push_back(url);
            }
        }
        return works;
    }
};

TEST_F(ShowcaseOnlineTest, PublishedWorkIsAcknowledgedAndTheTickerRestarts) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(desktop_.PickMenuItem(kMainWindow, "作品展示 Alt+W"));
    desktop_.SetProperty(笔名框, Property::kText, Text("青灯"));
    desktop_.SetProperty(书名框, Property::kText, Text("砚中舟"));
    desktop_.SetProperty(链接框, Property::kText, Text("http://book.example/read?id=7&ch=2"));
    desktop_.AdvanceClock(1000);  // the ticker is 1 s into its period
    desktop_.QueueMessageBoxAnswer(kResultOk);
    ASSERT_TRUE(desktop_.Click(展示按钮));
    EXPECT_EQ(LastMessageBox(), (MessageBoxRecord{"您的作品展示成功!\r\n请单击确定退出[作品展示]功能.",
                                                  kMbIconInformation | kTaskModal, "恭喜您!!!"}));
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件出品 ");
    EXPECT_EQ(ReadStoredPenName(), "青灯");
    EXPECT_FALSE(GetFlag(desktop_, 书名框, Property::kVisible));
    // The motto left at its placeholder went out as the silent one; the link whole.
    EXPECT_EQ(ServedTexts(), std::vector<Text>{"〖青灯〗展示作品:【砚中舟】 这家伙赖得不想说话"});
    // Restarted: the first tick, which fetches the list, comes a whole period after the publish,
    // so it finds a work published 4 s after ours (the old period would have fetched before it).
    desktop_.AdvanceClock(4000);
    ASSERT_TRUE(PublishElsewhere("乙", "二书", "", "http://a.example/2"));
    desktop_.AdvanceClock(1000);
    EXPECT_EQ(Ticker(), "播报系统");
    std::set<Text> shown;
    for (int tick = 0; tick < 2; ++tick) {
        desktop_.AdvanceClock(kTickMs);
        shown.insert(Ticker());
    }
    EXPECT_EQ(shown, (std::set<Text>{"〖青灯〗展示作品:【砚中舟】 这家伙赖得不想说话", "〖乙〗展示作品:【二书】 "}));
}

TEST_F(ShowcaseOnlineTest, RefusedPublishKeepsTheStoredPenName) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(desktop_.PickMenuItem(kMainWindow, "作品展示 Alt+W"));
    // The server refuses a field that would break its list.
    desktop_.SetProperty(笔名框, Property::kText, Text("青灯"));
    desktop_.SetProperty(书名框, Property::kText, Text("书<br>名"));
    desktop_.SetProperty(链接框, Property::kText, Text("http://book.example/1"));
    desktop_.QueueMessageBoxAnswer(kResultOk);
    ASSERT_TRUE(desktop_.Click(展示按钮));
    EXPECT_EQ(LastMessageBox().caption, "错误提醒:");
    EXPECT_EQ(ReadStoredPenName(), "青灯");
    EXPECT_TRUE(ServedTexts().empty());
}

TEST_F(ShowcaseOnlineTest, TickerShowsTheWorksInTurnAndTheHoverLastsToTheNextStep) {
    ASSERT_TRUE(PublishElsewhere("甲", "一书", "宣言一", "http://a.example/1"));
    ASSERT_TRUE(PublishElsewhere("乙", "二书", "", "http://a.example/2"));
    ASSERT_TRUE(PublishElsewhere("丙", "三书", "宣言三", "http://a.example/3"));
    const std::vector<Text> texts = ServedTexts();
    ASSERT_EQ(texts.size(), 3u);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Period(播报时钟), kTickMs);
    EXPECT_FALSE(desktop_.AcceptsInput(播报标签));

    desktop_.AdvanceClock(kTickMs);  // fetches the list; the text stays
    EXPECT_EQ(Ticker(), "播报系统");
    for (const std::size_t expected : {0u, 1u, 2u, 0u}) {
        desktop_.AdvanceClock(kTickMs);
        EXPECT_EQ(Ticker(), texts[expected]) << Show(Ticker());
        EXPECT_TRUE(desktop_.AcceptsInput(播报标签));
        EXPECT_EQ(GetNumber(desktop_, 播报标签, Property::kTextColour), 0x0000FF);
        EXPECT_FALSE(GetFlag(desktop_, 播报标签, Property::kFontUnderline));
    }

    const std::int64_t before = desktop_.now_ms();
    ASSERT_TRUE(desktop_.MouseMove(播报标签, 10, 5));
    EXPECT_EQ(GetNumber(desktop_, 播报标签, Property::kTextColour), 0x00E080);
    EXPECT_TRUE(GetFlag(desktop_, 播报标签, Property::kFontUnderline));
    EXPECT_EQ(desktop_.now_ms(), before);  // no pause: the window keeps handling input
    desktop_.AdvanceClock(kTickMs);
    EXPECT_EQ(GetNumber(desktop_, 播报标签, Property::kTextColour), 0x0000FF);
    EXPECT_FALSE(GetFlag(desktop_, 播报标签, Property::kFontUnderline));
}

TEST_F(ShowcaseOnlineTest, VisitIsRecordedOnceByWholeNameAndOpensTheWork) {
    ASSERT_TRUE(PublishElsewhere("甲", "一书", "宣言", "http://a.example/1"));
    ASSERT_TRUE(RecordVisitElsewhere("http://a.example/1", "李四"));
    WriteConfig("[功能配置]\r\ncnhy=李\r\n");
    ASSERT_TRUE(Start());

    // Before the first entry is shown a click does nothing (the label takes no input yet, and
    // the menu entries find no work).
    ASSERT_TRUE(desktop_.PickMenuItem(kMainWindow, "互助当前作品"));
    EXPECT_TRUE(desktop_.message_boxes().empty());
    EXPECT_EQ(Records("http://a.example/1"), "李四~");

    ASSERT_TRUE(TickTo("甲"));
    ASSERT_TRUE(desktop_.Click(播报标签));
    // "李" is not "李四": recorded now.
    EXPECT_EQ(Records("http://a.example/1"), "李四~李~");
    EXPECT_EQ(OpenedWorks(), std::vector<Text>{"http://a.example/1"});
    ASSERT_TRUE(desktop_.Click(播报标签));
    EXPECT_EQ(Records("http://a.example/1"), "李四~李~");
    EXPECT_EQ(OpenedWorks().size(), 2u);
    EXPECT_TRUE(desktop_.message_boxes().empty());
}

TEST_F(ShowcaseOnlineTest, OwnWorkListsItsVisitors) {
    ASSERT_TRUE(PublishElsewhere("甲", "一书", "宣言", "http://a.example/1"));
    WriteConfig("[功能配置]\r\ncnhy=甲\r\n");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(TickTo("甲"));

    desktop_.QueueMessageBoxAnswer(kResultOk);
    ASSERT_TRUE(desktop_.Click(播报标签));
    EXPECT_EQ(LastMessageBox(),
              (MessageBoxRecord{"未查询到该作品的互助记录 !_| ", kMbIconInformation | kTaskModal, "互助提示:"}));

    ASSERT_TRUE(RecordVisitElsewhere("http://a.example/1", "乙"));
    ASSERT_TRUE(RecordVisitElsewhere("http://a.example/1", "丙丙"));
    ASSERT_TRUE(desktop_.Click(播报标签));
    const std::vector<ListBoxLine> lines = desktop_.ListBoxLines(作者列表);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "乙");
    EXPECT_EQ(lines[1].text, "丙丙");
    EXPECT_TRUE(OpenedWorks().empty());
    // Asked again, the list is rebuilt, not extended.
    ASSERT_TRUE(desktop_.PickMenuItem(kMainWindow, "查询互助记录"));
    EXPECT_EQ(desktop_.ListBoxLines(作者列表).size(), 2u);
}

TEST_F(ShowcaseOnlineTest, WithoutPenNameTheClickAsksForAWorkFirst) {
    ASSERT_TRUE(PublishElsewhere("甲", "一书", "宣言", "http://a.example/1"));
    ASSERT_TRUE(Start());
    ASSERT_TRUE(TickTo("甲"));
    desktop_.QueueMessageBoxAnswer(kResultOk);
    ASSERT_TRUE(desktop_.Click(播报标签));
    EXPECT_EQ(LastMessageBox(), (MessageBoxRecord{kNoPenName, kMbIconWarning | kTaskModal, "互助提示:"}));
    EXPECT_EQ(Records("http://a.example/1"), "");
    EXPECT_TRUE(OpenedWorks().empty());
}

TEST_F(ShowcaseOnlineTest, EntriesMissingAFieldArePassedOver) {
    // A server that answers every page with this list; the real one never serves such entries.
    ScriptedServer server(
        HttpResponse("甲|一书|宣言|http://a.example/1<br>乙|二书<br>丙|三书|言|http://a.example/3<br>"));
    deployment_.server_base_address = server.Address("");
    WriteConfig("[功能配置]\r\nwikyxqq=12\r\n");
    ASSERT_TRUE(Start());
    desktop_.AdvanceClock(kTickMs);
    std::vector<Text> shown;
    for (int tick = 0; tick < 3; ++tick) {
        desktop_.AdvanceClock(kTickMs);
        shown.push_back(Ticker());
    }
    EXPECT_EQ(shown, (std::vector<Text>{"〖甲〗展示作品:【一书】 宣言", "〖丙〗展示作品:【三书】 言",
                                        "〖甲〗展示作品:【一书】 宣言"}));
}

// A click on such a ticker entry would hand the share's program to the shell: it does nothing,
// not even record a visit.
TEST_F(ShowcaseOnlineTest, TickerLinkThatIsNoWebAddressIsNeitherVisitedNorOpened) {
    ScriptedServer server(HttpResponse("甲|一书|宣言|file://host/share/setup.exe?http://"));
    deployment_.server_base_address = server.Address("");
    WriteConfig("[功能配置]\r\ncnhy=李\r\nwikyxqq=12\r\n");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(TickTo("甲"));
    ASSERT_TRUE(desktop_.Click(播报标签));
    EXPECT_TRUE(OpenedWorks().empty());
    EXPECT_TRUE(desktop_.message_boxes().empty());
    EXPECT_EQ(server.LastRequestLine().find("/cxjl.asp"), std::string::npos) << server.LastRequestLine();
}

}  // namespace
}  // namespace yz::test
