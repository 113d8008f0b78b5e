#include "online/web_answers.h"

#include <gtest/gtest.h>

#include "support/test_text.h"

namespace yz {
namespace {

TEST(AcknowledgementTest, OnlyTheWholeBodyCounts) {
    EXPECT_TRUE(IsAcknowledgement(BytesOf("添加记录成功!"), kRecordAddedAnswer));
    EXPECT_TRUE(IsAcknowledgement(BytesOf("作品发布成功!"), kWorkPublishedAnswer));
    EXPECT_TRUE(IsAcknowledgement(BytesOf("56822"), kFeedbackReceivedAnswer));
    // The bytes after a zero byte are not part of the text.
    EXPECT_TRUE(IsAcknowledgement(BytesOf(std::string("56822\0junk", 10)), kFeedbackReceivedAnswer));

    const Text failures[] = {"",
                             "作品发布成功!\r\n",
                             "作品发布成功!\n",
                             " 作品发布成功!",
                             "作品发布成功! ",
                             "<p>作品发布成功!</p>",
                             "作品发布成功",
                             "作品发布成功！"};
    for (const Text& body : failures) {
        EXPECT_FALSE(IsAcknowledgement(BytesOf(body), kWorkPublishedAnswer)) << test::Show(body);
    }
    EXPECT_FALSE(IsAcknowledgement(BytesOf("56822 "), kFeedbackReceivedAnswer));
    EXPECT_FALSE(IsAcknowledgement(BytesOf("添加记录成功!"), kWorkPublishedAnswer));
}

TEST(ListAnswersTest, SeparatorsEndPartsOnCharacterBoundaries) {
    EXPECT_EQ(ReadPenNames(BytesOf("青灯~白马~")), (TextList{"青灯", "白马"}));
    EXPECT_EQ(ReadPenNames(BytesOf("青灯~白马")), (TextList{"青灯", "白马"}));
    EXPECT_EQ(ReadPenNames(BytesOf("~~a~")), (TextList{"", "", "a"}));
    EXPECT_TRUE(ReadPenNames({}).empty());
    // "\xB0\x7E" is one character whose trail byte is "~".
    EXPECT_EQ(ReadPenNames(BytesOf("\xB0\x7E~b~")), (TextList{"\xB0\x7E", "b"}));

    const Text first = "青灯|砚舟记|求点击|http://a.cn/1";
    const Text second = "白马|夜航|互助双赢|http://a.cn/2";
    EXPECT_EQ(ReadWorksList(BytesOf(first + "<br>" + second + "<br>")), (TextList{first, second}));
    EXPECT_EQ(ReadWorksList(BytesOf(first + "<br>" + second)), (TextList{first, second}));
    EXPECT_EQ(ReadWorksList(BytesOf("<br><br>")), (TextList{"", ""}));
    EXPECT_TRUE(ReadWorksList({}).empty());
    EXPECT_EQ(ReadWorksList(BytesOf("a<br")), (TextList{"a<br"}));
}

TEST(ListAnswersTest, WorkEntriesNeedFourFields) {
    EXPECT_EQ(ReadWorkEntry("青灯|砚舟记|求点击|http://a.cn/1"),
              (WorkEntry{"青灯", "砚舟记", "求点击", "http://a.cn/1"}));
    EXPECT_EQ(ReadWorkEntry("p|w||http://l"), (WorkEntry{"p", "w", "", "http://l"}));
    EXPECT_EQ(ReadWorkEntry("p|w|m|http://l|extra"), (WorkEntry{"p", "w", "m", "http://l"}));
    EXPECT_EQ(ReadWorkEntry("p|w|m"), std::nullopt);
    EXPECT_EQ(ReadWorkEntry("p|w|m|"), std::nullopt);
    EXPECT_EQ(ReadWorkEntry(""), std::nullopt);
}

TEST(VersionAnswerTest, LeadingNumberOrZero) {
    EXPECT_DOUBLE_EQ(ReadVersionNumber(BytesOf("4.3")), 4.3);
    EXPECT_DOUBLE_EQ(ReadVersionNumber(BytesOf("5\r\n")), 5.0);
    EXPECT_DOUBLE_EQ(ReadVersionNumber(BytesOf("4.25abc")), 4.25);
    EXPECT_DOUBLE_EQ(ReadVersionNumber({}), 0.0);
    EXPECT_DOUBLE_EQ(ReadVersionNumber(BytesOf("v4.3")), 0.0);
    EXPECT_DOUBLE_EQ(ReadVersionNumber(BytesOf("<html>")), 0.0);

    EXPECT_TRUE(IsNewerVersion(BytesOf("4.3"), "4.2"));
    EXPECT_TRUE(IsNewerVersion(BytesOf("4.2000002"), "4.2"));
    EXPECT_TRUE(IsNewerVersion(BytesOf("10"), "4.2"));
    EXPECT_FALSE(IsNewerVersion(BytesOf("4.2"), "4.2"));
    EXPECT_FALSE(IsNewerVersion(BytesOf("4.20000005"), "4.2"));
    EXPECT_FALSE(IsNewerVersion(BytesOf("4.1"), "4.2"));
    EXPECT_FALSE(IsNewerVersion({}, "4.2"));
    EXPECT_FALSE(IsNewerVersion(BytesOf("abc"), "4.2"));
}

// Anything else would reach the shell on a click: a share's program, a local path, a script.
TEST(WebLinkTest, OnlyHttpAndHttpsAtTheStartInAnyCase) {
    EXPECT_TRUE(IsWebLink("http://a.com/1"));
    EXPECT_TRUE(IsWebLink("HTTPS://A.COM/1"));
    EXPECT_FALSE(IsWebLink("file://host/share/setup.exe?http://"));
    EXPECT_FALSE(IsWebLink("C:\\Windows\\System32\\calc.exe#http://"));
    EXPECT_FALSE(IsWebLink("javascript:alert(1)//http://"));
    EXPECT_FALSE(IsWebLink(" http://a.com/"));
    EXPECT_FALSE(IsWebLink(""));
}

TEST(AnnouncementAnswerTest, ThreePartsAndAnExactFlag) {
    EXPECT_EQ(ReadAnnouncement(BytesOf("gg/1.jpg●http://a.cn/gg●真")),
              (Announcement{"gg/1.jpg", "http://a.cn/gg", true}));
    EXPECT_EQ(ReadAnnouncement(BytesOf("gg/1.jpg●http://a.cn/gg●假")),
              (Announcement{"gg/1.jpg", "http://a.cn/gg", false}));
    EXPECT_EQ(ReadAnnouncement(BytesOf("a●b●真\r\n")), (Announcement{"a", "b", false}));
    EXPECT_EQ(ReadAnnouncement(BytesOf("a●b●真●")), (Announcement{"a", "b", true}));
    EXPECT_EQ(ReadAnnouncement(BytesOf("a●b")), std::nullopt);
    EXPECT_EQ(ReadAnnouncement(BytesOf("a●b●")), std::nullopt);
    EXPECT_EQ(ReadAnnouncement(BytesOf("no marker")), std::nullopt);
    EXPECT_EQ(ReadAnnouncement({}), std::nullopt);
}

TEST(AddressTextTest, CutBetweenTheFirstBracketAndTheClosingTag) {
    EXPECT_EQ(ReadAddressText(BytesOf("<html><center>您的IP是：[127.0.0.1] 来自：本机 局域网</center></html>")),
              "127.0.0.1] 来自：本机 局域网");
    // Later brackets stay in the text; the tag is any that begins with "</c".
    EXPECT_EQ(ReadAddressText(BytesOf("[1.2.3.4] 来自：[x]</code>")), "1.2.3.4] 来自：");
    EXPECT_EQ(ReadAddressText(BytesOf("[1.2.3.4] 来自：地</c")), "1.2.3.4] 来自：地");
    EXPECT_EQ(ReadAddressText(BytesOf("[1.2.3.4] 来自：无标签")), "1.2.3.4] 来自：无标签");
    EXPECT_EQ(ReadAddressText({}), "");
    // A body without "[" (an error page, a proxy's notice) gives no address.
    EXPECT_EQ(ReadAddressText(BytesOf("<html>502 Bad Gateway</html>")), "");
    EXPECT_EQ(ReadAddressText(BytesOf("text[")), "");
    EXPECT_EQ(ReadAddressText(BytesOf("[</center>")), "");
}

}  // namespace
}  // namespace yz
