// The showcase panel without a server: opening and closing, the slide-in, the boxes' placeholders,
// the checks in order and the pen name (a publish that cannot reach the server is refused).

#include <gtest/gtest.h>

#include "app/program_fixture.h"
#include "online/publish_checks.h"
#include "runtime/config_file.h"
#include "settings/config_keys.h"
#include "settings/pen_name.h"

namespace yz::test {
namespace {

using namespace ui;

constexpr int kInfoBox = kMbIconInformation | kMbTaskModal;
const Text kServerLost = "程序在与服务器传递数据过程中.发生栈数据溢出或渗漏.造成此次操作丢失.错误代码:(0x6810x)";

class ShowcasePanelTest : public ProgramTest {
  protected:
    int Number(const ControlRef& ref, Property property) const {
        return static_cast<int>(GetNumber(desktop_, ref, property));
    }
    Text TextOf(const ControlRef& ref) const { return GetText(desktop_, ref, Property::kText); }
    void Open() { ASSERT_TRUE(desktop_.PickMenuItem(kMainWindow, "作品展示 Alt+W")); }
    // Lets the slide-in run to its end.
    void FinishSlide() {
        for (int tick = 0; tick < 40 && Number(互助时钟, Property::kPeriod) > 0; ++tick) {
            desktop_.AdvanceClock(150);
        }
        ASSERT_EQ(Number(互助时钟, Property::kPeriod), 0);
    }
    void Fill(const Text& pen_name, const Text& work_name, const Text& motto, const Text& link) {
        desktop_.SetProperty(笔名框, Property::kText, pen_name);
        desktop_.SetProperty(书名框, Property::kText, work_name);
        desktop_.SetProperty(宣言框, Property::kText, motto);
        desktop_.SetProperty(链接框, Property::kText, link);
    }
    // Clicks the publish button answering the one box it shows; that box.
    MessageBoxRecord Publish() {
        const std::size_t before = desktop_.message_boxes().size();
        desktop_.QueueMessageBoxAnswer(kResultOk);
        EXPECT_TRUE(desktop_.Click(展示按钮));
        EXPECT_EQ(desktop_.message_boxes().size(), before + 1);
        return LastMessageBox();
    }
};

TEST_F(ShowcasePanelTest, OpensOverTheEditorAndSlidesInToItsFinalPlaces) {
    ASSERT_TRUE(Start());
    Open();
    for (const ControlRef* box : {&笔名框, &书名框, &宣言框, &链接框, &展示按钮}) {
        EXPECT_TRUE(desktop_.AcceptsInput(*box)) << Show(box->control);
    }
    EXPECT_TRUE(GetFlag(desktop_, 主编框, Property::kDisabled));
    EXPECT_FALSE(GetFlag(desktop_, 操作标签, Property::kVisible));
    EXPECT_TRUE(desktop_.AcceptsInput(返回超钮));
    EXPECT_EQ(desktop_.FocusedControl(), 书名框);
    // The focus cleared the work name's placeholder; the others hold theirs.
    EXPECT_EQ(TextOf(书名框), "");
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 作品名称 (不得超过10个汉字或20个字节)");
    EXPECT_EQ(TextOf(笔名框), kPenNamePlaceholder);
    EXPECT_EQ(TextOf(宣言框), kMottoPlaceholder);
    EXPECT_EQ(TextOf(链接框), kLinkPlaceholder);

    // The second of waiting took the three left boxes to the centre (six steps of 150 ms); the work
    // name box and the button are still outside.
    EXPECT_EQ(Number(链接框, Property::kLeft), 70);
    EXPECT_EQ(Number(笔名框, Property::kLeft), 70);
    EXPECT_EQ(Number(宣言框, Property::kLeft), 70);
    EXPECT_EQ(Number(书名框, Property::kLeft), 510);
    EXPECT_EQ(Number(展示按钮, Property::kTop), -44);

    FinishSlide();
    EXPECT_EQ(Number(书名框, Property::kLeft), 260);
    EXPECT_EQ(Number(展示按钮, Property::kLeft), 368);
    EXPECT_EQ(Number(展示按钮, Property::kTop), 156);
    EXPECT_EQ(Number(笔名框, Property::kTop), 70);
    EXPECT_EQ(Number(书名框, Property::kTop), 70);
    EXPECT_EQ(Number(宣言框, Property::kTop), 156);
    EXPECT_EQ(Number(链接框, Property::kTop), 238);

    // Alt+W again closes it and gives the editor back.
    Open();
    EXPECT_FALSE(GetFlag(desktop_, 笔名框, Property::kVisible));
    EXPECT_TRUE(desktop_.AcceptsInput(主编框));
    EXPECT_TRUE(GetFlag(desktop_, 操作标签, Property::kVisible));
}

TEST_F(ShowcasePanelTest, PlaceholdersLeaveOnEntryAndComeBackWhenLeftEmpty) {
    ASSERT_TRUE(Start());
    Open();
    const struct {
        const ControlRef* box;
        Text placeholder;
        Text tail;
    } boxes[] = {
        {&笔名框, kPenNamePlaceholder, " --霁川软件 笔名/昵称 (长度:不得超过8个汉字或16个字符) "},
        {&宣言框, kMottoPlaceholder, " --霁川软件 互助宣言 (聚集人气 如:互助双赢.求点击有访必回)"},
        {&链接框, kLinkPlaceholder, " --霁川软件 作品链接 (您的作品链接网址.请不要使用非法链接)"},
        {&书名框, kWorkNamePlaceholder, " --霁川软件 作品名称 (不得超过10个汉字或20个字节)"},
    };
    for (const auto& b : boxes) {
        desktop_.SetFocus(*b.box);
        EXPECT_EQ(TextOf(*b.box), "") << Show(b.box->control);
        EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2" + b.tail);
        desktop_.SetFocus(展示按钮);
        EXPECT_EQ(TextOf(*b.box), b.placeholder);
        // Typed text stays, and is not cleared on the next entry.
        ASSERT_TRUE(desktop_.TypeText(*b.box, "ab"));
        desktop_.SetFocus(展示按钮);
        desktop_.SetFocus(*b.box);
        EXPECT_EQ(TextOf(*b.box), "ab");
    }
    // A pen name of eight Chinese characters fits; a ninth does not.
    desktop_.SetProperty(笔名框, Property::kText, Text());
    ASSERT_TRUE(desktop_.TypeText(笔名框, "一二三四五六七八九"));
    EXPECT_EQ(TextOf(笔名框), "一二三四五六七八");
}

TEST_F(ShowcasePanelTest, ChecksRunInOrderAndNothingIsStoredOrSent) {
    ASSERT_TRUE(Start());
    Open();
    FinishSlide();
    const struct {
        Text pen_name, work_name, motto, link, message;
    } cases[] = {
        {kPenNamePlaceholder, "", "", "", "笔名框不能接受空数据,请设置您的笔名."},
        {"", "", "", "", "笔名框不能接受空数据,请设置您的笔名."},
        {"李~", "", "", "", "笔名不得带有非法符号,请重新设置您的笔名."},
        {"李|四", "", "", "", "笔名不得带有非法符号,请重新设置您的笔名."},
        {"李四", kWorkNamePlaceholder, "", "", "书名框不可为空,这么好的作品,总得要个名称吧?"},
        {"李四", "书|", "", "", "书名不得带有非法符号,请重新设置您的笔名."},
        {"李四", "书", "宣|言", "", "宣言框不得带有非法符号,请重新设置您的笔名."},
        {"李四", "书", kMottoPlaceholder, kLinkPlaceholder, "亲 作品链接地址真真的不能没有."},
        {"李四", "书", "", "", "亲 ! 作品链接地址,是真真的不能没有."},
        {"李四", "书", "", "http://⊙", "好像... 链接地址有非法字符(错误提示:0x0522x)"},
        {"李四", "书", "", "http://|", "链接地址有非法字符,这样好像是不好的."},
        {"李四", "书", "", "ftp://book", "大侠~~~ 请输入正确的作品链接地址"},
    };
    for (const auto& c : cases) {
        Fill(c.pen_name, c.work_name, c.motto, c.link);
        const MessageBoxRecord box = Publish();
        EXPECT_EQ(box, (MessageBoxRecord{c.message, kInfoBox, "作品展示提醒:"})) << Show(box.text);
        EXPECT_TRUE(GetFlag(desktop_, 书名框, Property::kVisible));  // the panel stays open
    }
    // The motto placeholder was replaced before the link was refused.
    EXPECT_EQ(ReadStoredPenName(), "");
    Fill("李四", "书", kMottoPlaceholder, kLinkPlaceholder);
    Publish();
    EXPECT_EQ(TextOf(宣言框), kSilentMotto);
}

TEST_F(ShowcasePanelTest, PenNameIsStoredBeforeTheRequestAndKeptWhenThePublishFails) {
    ASSERT_TRUE(Start());
    Open();
    FinishSlide();
    Fill("一二三四五六七八", "书", "", "https://book.example/1");
    // No server: the request fails, after the pen name was stored.
    EXPECT_EQ(Publish(), (MessageBoxRecord{kServerLost, kMbIconWarning | kMbTaskModal, "错误提醒:"}));
    EXPECT_EQ(ReadStoredPenName(), "一二三四五六七八");
    // The panel's boxes are back at their starting places, hidden and disabled.
    for (const ControlRef* box : {&笔名框, &书名框, &宣言框, &链接框, &展示按钮}) {
        EXPECT_FALSE(GetFlag(desktop_, *box, Property::kVisible)) << Show(box->control);
        EXPECT_TRUE(GetFlag(desktop_, *box, Property::kDisabled)) << Show(box->control);
    }
    EXPECT_EQ(Number(链接框, Property::kLeft), -360);
    EXPECT_EQ(TextOf(链接框), kLinkPlaceholder);

    // From now on the panel shows the stored pen name, read-only.
    Open();
    EXPECT_EQ(TextOf(笔名框), "一二三四五六七八");
    EXPECT_TRUE(GetFlag(desktop_, 笔名框, Property::kDisabled));
    EXPECT_TRUE(desktop_.AcceptsInput(书名框));
}

}  // namespace
}  // namespace yz::test
