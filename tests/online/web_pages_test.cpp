// Each page call against a scripted server: the exact request target it sends and how it reads
// the answer, and what every call gives when the server is not there.

#include "online/web_pages.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/loopback_socket.h"
#include "support/scripted_server.h"
#include "support/test_text.h"

namespace yz {
namespace {

using test::HttpResponse;
using test::ScriptedServer;

// Runs `call` against a server answering `body` and gives back the request target it received.
std::string Exchange(const std::string& body, const std::function<void(const Text& base)>& call) {
    const ScriptedServer server(HttpResponse(body));
    call("http://127.0.0.1:" + std::to_string(server.port()));
    const std::string line = server.LastRequestLine();
    const std::size_t first = line.find(' ');
    const std::size_t last = line.rfind(' ');
    return first == std::string::npos || last <= first ? line : line.substr(first + 1, last - first - 1);
}

TEST(WebPagesTest, AcknowledgedPagesSendEscapedValues) {
    bool done = false;
    EXPECT_EQ(Exchange("作品发布成功!",
                       [&](const Text& base) {
                           done = PublishWork(base, "青灯", "砚舟 记", "求点击&有访必回", "http://a.cn/b?id=7&ch=2");
                       }),
              "/tjfb.asp?zz=青灯&sm=砚舟%20记&fy=求点击%26有访必回&zplj=http://a.cn/b?id%3D7%26ch%3D2");
    EXPECT_TRUE(done);
    Exchange("作品发布成功!\r\n", [&](const Text& base) { done = PublishWork(base, "p", "w", "m", "http://l"); });
    EXPECT_FALSE(done);

    EXPECT_EQ(Exchange("添加记录成功!", [&](const Text& base) { done = AddRecord(base, "http://a.cn/b#2", "白马"); }),
              "/tjjl.asp?zplj=http://a.cn/b%232&zznc=白马~");
    EXPECT_TRUE(done);
    Exchange("<b>添加记录成功!</b>", [&](const Text& base) { done = AddRecord(base, "http://l", "p"); });
    EXPECT_FALSE(done);

    EXPECT_EQ(Exchange("56822", [&](const Text& base) { done = SendFeedback(base, "读者", "好用\r\n100%"); }),
              "/jyfk.asp?nc=读者&zw=好用%0D%0A100%25");
    EXPECT_TRUE(done);
    Exchange("56823", [&](const Text& base) { done = SendFeedback(base, "n", "t"); });
    EXPECT_FALSE(done);
}

TEST(WebPagesTest, ListsNumbersAndAnnouncements) {
    Text records;
    EXPECT_EQ(Exchange("青灯~白马~", [&](const Text& base) { records = FetchRecordsText(base, "http://a.cn/b"); }),
              "/cxjl.asp?zplj=http://a.cn/b");
    EXPECT_EQ(records, "青灯~白马~");

    TextList works;
    EXPECT_EQ(Exchange("p|w|m|http://l<br>q|v|n|http://k<br>", [&](const Text& base) { works = FetchWorksList(base); }),
              "/cxzp.asp");
    EXPECT_EQ(works, (TextList{"p|w|m|http://l", "q|v|n|http://k"}));

    bool newer = false;
    EXPECT_EQ(Exchange("4.3", [&](const Text& base) { newer = NewerVersionPublished(base, "4.2"); }),
              "/ybtwzp.asp?id=1");
    EXPECT_TRUE(newer);
    Exchange("4.2", [&](const Text& base) { newer = NewerVersionPublished(base, "4.2"); });
    EXPECT_FALSE(newer);

    std::optional<Announcement> announcement;
    EXPECT_EQ(Exchange("gg/1.jpg●http://a.cn/gg●真", [&](const Text& base) { announcement = FetchAnnouncement(base); }),
              "/lszbgg.asp?id=1");
    EXPECT_EQ(announcement, (Announcement{"gg/1.jpg", "http://a.cn/gg", true}));

    const std::string picture = std::string("GIF89a\0\x01\xFF", 9);
    Bytes image;
    EXPECT_EQ(Exchange(picture, [&](const Text& base) { image = FetchAnnouncementImage(base, "gg/1.jpg"); }),
              "/gg/1.jpg");
    EXPECT_EQ(image, BytesOf(picture));

    Text address_text;
    EXPECT_EQ(Exchange("<p>您的IP是：[127.0.0.1] 来自：本机</center>",
                       [&](const Text& base) { address_text = FetchAddressText(base + "/ip"); }),
              "/ip");
    EXPECT_EQ(address_text, "127.0.0.1] 来自：本机");
}

TEST(WebPagesTest, NoServerReadsAsNoAnswer) {
    const Text base = "http://127.0.0.1:" + std::to_string(test::UnusedLoopbackPort());
    EXPECT_EQ(FetchRecordsText(base, "http://l"), "");
    EXPECT_FALSE(AddRecord(base, "http://l", "p"));
    EXPECT_FALSE(PublishWork(base, "p", "w", "m", "http://l"));
    EXPECT_TRUE(FetchWorksList(base).empty());
    EXPECT_FALSE(SendFeedback(base, "n", "t"));
    EXPECT_FALSE(NewerVersionPublished(base, "4.2"));
    EXPECT_EQ(FetchAnnouncement(base), std::nullopt);
    EXPECT_TRUE(FetchAnnouncementImage(base, "gg/1.jpg").empty());
    EXPECT_EQ(FetchAddressText(base + "/ip"), "");
}

}  // namespace
}  // namespace yz
