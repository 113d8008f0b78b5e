// Every page over loopback, answers compared byte for byte as the program compares them.

#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "server/escape.h"
#include "server/http/request_line.h"
#include "server/http/showcase_answer.h"
#include "server/live_server.h"
#include "support/test_text.h"

namespace yz::test {
namespace {

const std::string kPublished = "作品发布成功!";
const std::string kRecordAdded = "添加记录成功!";

std::string PublishTarget(const std::string& pen,
                          const std::string& work,
                          const std::string& motto,
                          const std::string& link) {
    return "/tjfb.asp?zz=" + Escape(pen) + "&sm=" + Escape(work) + "&fy=" + Escape(motto) + "&zplj=" + Escape(link);
}

std::string RecordTarget(const std::string& link, const std::string& pen) {
    return "/tjjl.asp?zplj=" + Escape(link) + "&zznc=" + Escape(pen) + "~";
}

class PagesTest : public ::testing::Test {
  protected:
    void ExpectAnswer(const std::string& target, const std::string& body, int status = 200) {
        const Reply reply = server_.Get(target);
        EXPECT_EQ(reply.status, status) << Show(target);
        EXPECT_EQ(reply.body, body) << Show(target) << " answered " << Show(reply.body);
    }

    LiveServer server_;
};

TEST_F(PagesTest, AnEmptyServerAnswersEmptyBodies) {
    ExpectAnswer("/cxzp.asp", "");
    ExpectAnswer("/cxjl.asp?zplj=http://a.com/1", "");
    ExpectAnswer("/ybtwzp.asp?id=1", "");
    ExpectAnswer("/lszbgg.asp?id=1", "");
    ExpectAnswer("/announcement.jpg", "", 404);
    ExpectAnswer("/default.asp", "", 404);
}

TEST_F(PagesTest, PublishedWorksAreListedNewestFirst) {
    ExpectAnswer(PublishTarget("砚生", "春秋笔", "求互访", "http://a.com/1"), kPublished);
    ExpectAnswer("/cxzp.asp", "砚生|春秋笔|求互访|http://a.com/1");
    // Fails when a publish leaves the kept showcase in place.
    ExpectAnswer(PublishTarget("墨客", "长夜", "", "http://b.com/2"), kPublished);
    ExpectAnswer("/cxzp.asp", "墨客|长夜||http://b.com/2<br>砚生|春秋笔|求互访|http://a.com/1");

    // The answer the listener gives from memory is the HTTP library's answer byte for byte, and
    // requests whose answer the library shapes otherwise are left to it.
    server::Pages pages(server_.store());
    server::HttpFront front(pages);
    const std::string request = "GET /cxzp.asp HTTP/1.0\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
    front.Serve(request, ends[1], "127.0.0.1");
    close(ends[1]);
    std::string library;
    char buffer[4096];
    for (ssize_t n = 0; (n = read(ends[0], buffer, sizeof buffer)) > 0;) {
        library.append(buffer, static_cast<std::size_t>(n));
    }
    close(ends[0]);
    EXPECT_TRUE(server::IsPlainShowcaseRequest(request));
    EXPECT_EQ(server::ShowcaseAnswer(pages.Answer({.path = "/cxzp.asp", .params = {}, .remote_address = ""}).body),
              library);
    EXPECT_EQ(RawExchange(server_.port(), request), library);
    EXPECT_FALSE(server::IsPlainShowcaseRequest("GET /cxzp.asp HTTP/1.1\r\nrange: bytes=0-1\r\n\r\n"));
    EXPECT_FALSE(server::IsPlainShowcaseRequest("GET /cxzp.asp HTTP/1.1\r\nAccept-Encoding: gzip\r\n\r\n"));
    EXPECT_FALSE(server::IsPlainShowcaseRequest("HEAD /cxzp.asp HTTP/1.0\r\n\r\n"));
}

TEST_F(PagesTest, RecordsListEachVisitorOnceWithTheSeparator) {
    const std::string link = "http://a.com/1";
    ExpectAnswer(RecordTarget(link, "墨客"), kRecordAdded);
    ExpectAnswer(RecordTarget(link, "箏客"), kRecordAdded);  // its trail byte is "~"
    ExpectAnswer(RecordTarget(link, "墨客"), kRecordAdded);
    ExpectAnswer(RecordTarget("http://other.com/", "路人"), kRecordAdded);
    ExpectAnswer("/cxjl.asp?zplj=" + link, "墨客~箏客~");
}

TEST_F(PagesTest, FeedbackIsAcknowledgedAndKeptWithItsLineBreaks) {
    const std::string text = "希望增加\r\n夜间模式 & 100% 满意";
    ExpectAnswer("/jyfk.asp?nc=" + Escape("读者") + "&zw=" + Escape(text), "56822");
    const auto list = server_.store().ListFeedback(0, 10);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->size(), 1u);
    EXPECT_EQ((*list)[0].nickname, "读者");
    EXPECT_EQ((*list)[0].text, text);
    EXPECT_EQ((*list)[0].address, "127.0.0.1");
}

TEST_F(PagesTest, VersionAndAnnouncementAreWhatTheMakerSet) {
    ASSERT_TRUE(server_.store().SetLatestVersion("4.3"));
    ExpectAnswer("/ybtwzp.asp?id=1", "4.3");

    const std::string picture("GIF89a\x01\x00\x01\x00\x00\xff\x00,", 14);
    ASSERT_TRUE(server_.store().SetAnnouncement(
        {.image = picture, .image_type = "gif", .link = "http://a.com/新书", .shown = true}));
    ExpectAnswer("/lszbgg.asp?id=1", "announcement.gif●http://a.com/新书●真");
    ExpectAnswer("/announcement.gif", picture);
    ExpectAnswer("/announcement.jpg", "", 404);

    ASSERT_TRUE(server_.store().SetAnnouncement({.image = picture, .image_type = "gif", .link = "", .shown = false}));
    ExpectAnswer("/lszbgg.asp?id=1", "announcement.gif●●假");
}

TEST_F(PagesTest, IpLookupCarriesTheCallerWhereTheProgramCutsIt) {
    const Reply reply = server_.Get("/ip");
    ASSERT_EQ(reply.status, 200);
    const auto open = reply.body.find('[');
    ASSERT_NE(open, std::string::npos);
    const std::string after = reply.body.substr(open + 1);
    EXPECT_EQ(after.substr(0, after.find("</c")), "127.0.0.1] 来自：本机") << Show(reply.body);
}

TEST_F(PagesTest, TutorialIsAPlainGbkPage) {
    const Reply reply = server_.Get("/tutorial");
    EXPECT_EQ(reply.status, 200);
    EXPECT_NE(reply.body.find("砚舟文匣"), std::string::npos);
    EXPECT_EQ(reply.body.find('\0'), std::string::npos);
}

TEST_F(PagesTest, EscapedValuesArriveWhole) {
    const std::string link = "http://example.com/book?id=7&ch=2#top+1=50%";
    const std::string motto = "a+b=c & 100%";
    ExpectAnswer(PublishTarget("砚生", "春秋", motto, link), kPublished);
    ExpectAnswer("/cxzp.asp", "砚生|春秋|" + motto + "|" + link);

    ExpectAnswer(RecordTarget(link, "墨客"), kRecordAdded);
    ExpectAnswer("/cxjl.asp?zplj=" + Escape(link), "墨客~");
    ExpectAnswer("/cxjl.asp?zplj=http://example.com/book?id=7", "");
}

TEST_F(PagesTest, TrailBytesThatLookLikeSeparatorsAreAccepted) {
    // 箌 ends in 0x7C ("|"), 箏 in 0x7E ("~"): whole characters, never separators.
    ASSERT_EQ(std::string("箌").back(), '|');
    ASSERT_EQ(std::string("箏").back(), '~');
    ExpectAnswer(PublishTarget("箌箏", "箏箌", "箌", "http://a.com/箌"), kPublished);
    ExpectAnswer("/cxzp.asp", "箌箏|箏箌|箌|http://a.com/箌");
}

TEST_F(PagesTest, FieldsAtTheirLimitsAreAccepted) {
    ExpectAnswer(PublishTarget("砚砚砚砚砚砚砚砚", std::string(20, 'w'), std::string(36, 'm'), "http://a.com/"),
                 kPublished);
    ExpectAnswer(RecordTarget("http://a.com/", "abcdefghijklmnop"), kRecordAdded);
    ExpectAnswer("/jyfk.asp?nc=" + std::string(20, 'n') + "&zw=" + std::string(11, 'x'), "56822");
    ExpectAnswer("/jyfk.asp?nc=n&zw=" + std::string(180, 'x'), "56822");
}

TEST_F(PagesTest, ShowcaseStaysUnderTheReadCeilingWithTheNewestWorks) {
    const std::string long_link = "http://a.com/" + std::string(1000, 'x');
    for (int i = 0; i < 120; ++i) {
        ASSERT_TRUE(server_.store().AddWork({.pen_name = "p" + std::to_string(i),
                                             .work_name = "w",
                                             .motto = "m",
                                             .link = long_link,
                                             .address = "10.0.0." + std::to_string(i)}));
    }
    const Reply reply = server_.Get("/cxzp.asp");
    ASSERT_EQ(reply.status, 200);
    EXPECT_LT(reply.body.size(), 102400u);
    const std::string entry_tail = "|w|m|" + long_link;
    EXPECT_EQ(reply.body.rfind("p119" + entry_tail, 0), 0u);
    // Full: one more entry would have crossed the ceiling.
    EXPECT_GE(reply.body.size() + 4 + 3 + entry_tail.size(), 102400u);
    EXPECT_EQ(reply.body.find("p0|"), std::string::npos);
}

TEST_F(PagesTest, OversizeAndMalformedRequestsAreRefusedAndTheServerGoesOn) {
    const Reply long_target = server_.Get("/cxjl.asp?zplj=http://a.com/" + std::string(5000, 'x'));
    EXPECT_EQ(long_target.status, 414);
    const std::string with_body =
        RawExchange(server_.port(), "GET /cxzp.asp HTTP/1.0\r\nContent-Length: 5000\r\n\r\n" + std::string(5000, 'b'));
    EXPECT_EQ(with_body.rfind("HTTP/1.1 413", 0), 0u) << with_body.substr(0, 40);
    const std::string garbage = RawExchange(server_.port(), std::string("\x01\xff GARBAGE\r\n\r\n", 14));
    EXPECT_EQ(garbage.find("200 OK"), std::string::npos);
    ExpectAnswer(PublishTarget("砚生", "春秋", "", "http://a.com/1"), kPublished);
}

TEST(RequestLineTest, OnlyQuestionMarksInsideTheQueryAreMended) {
    using server::MendRequestLine;
    EXPECT_EQ(MendRequestLine("GET /cxjl.asp?zplj=http://a.com/b?id%3D7?x HTTP/1.0"),
              "GET /cxjl.asp?zplj=http://a.com/b%3Fid%3D7%3Fx HTTP/1.0");
    EXPECT_EQ(MendRequestLine("GET /cxzp.asp HTTP/1.0"), "GET /cxzp.asp HTTP/1.0");
    EXPECT_EQ(MendRequestLine("GET /a?b HTTP/1.0?"), "GET /a?b HTTP/1.0?");
    EXPECT_EQ(MendRequestLine("GET"), "GET");
    EXPECT_EQ(MendRequestLine("?? ??"), "?? ??");
}

}  // namespace
}  // namespace yz::test
