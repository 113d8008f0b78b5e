// Writes whose fields would break the answers the program splits are refused and stored nowhere.

#include <gtest/gtest.h>

#include "server/escape.h"
#include "server/live_server.h"
#include "server/pages/field_rules.h"
#include "support/test_text.h"

namespace yz::test {
namespace {

struct Publish {
    std::string zz = "砚生";
    std::string sm = "春秋";
    std::string fy = "求互访";
    std::string zplj = "http://a.com/1";

    std::string Target() const {
        return "/tjfb.asp?zz=" + Escape(zz) + "&sm=" + Escape(sm) + "&fy=" + Escape(fy) + "&zplj=" + Escape(zplj);
    }
};

// Values no field of a work may hold (escaped as the program would send them); the pen name
// holds no "~" either. Each separator stands at the first byte, in the middle and at the last.
std::vector<std::pair<std::string, std::string>> BadWorkValues(std::size_t limit, bool pen_name) {
    std::vector<std::pair<std::string, std::string>> values = {{"one byte too long", std::string(limit + 1, 'a')},
                                                               {"control byte", "a\tb"},
                                                               {"line break", "a\r\nb"},
                                                               {"lone lead byte at the end", "ab\xB1"},
                                                               {"invalid trail byte", "a\xB1\x7F"}};
    std::vector<std::string> separators = {"|", "<br>"};
    if (pen_name) {
        separators.push_back("~");
    }
    for (const std::string& separator : separators) {
        values.push_back({separator + " first", separator + "a"});
        values.push_back({separator + " inside", "a" + separator + "b"});
        values.push_back({separator + " last", "a" + separator});
    }
    return values;
}

class GuardsTest : public ::testing::Test {
  protected:
    void ExpectRefused(const std::string& target, const std::string& ack, const std::string& what) {
        const Reply reply = server_.Get(target);
        EXPECT_NE(reply.body, ack) << what << ": " << Show(target);
        EXPECT_NE(reply.status, 200) << what << ": " << Show(target);
    }

    void ExpectNothingStored() {
        const auto works = server_.store().ListWorks(0, 100);
        ASSERT_TRUE(works.has_value());
        EXPECT_TRUE(works->empty());
        const auto feedback = server_.store().ListFeedback(0, 100);
        ASSERT_TRUE(feedback.has_value());
        EXPECT_TRUE(feedback->empty());
        EXPECT_EQ(server_.Get("/cxzp.asp").body, "");
        for (const char* link : {"http://a.com/1", "http://a.com/1|x", "http://a.com/1~", ""}) {
            EXPECT_EQ(server_.Get("/cxjl.asp?zplj=" + Escape(link)).body, "") << link;
        }
    }

    LiveServer server_;
};

TEST_F(GuardsTest, PublishRefusesEveryBadField) {
    const std::string ack = "作品发布成功!";
    const std::vector<std::pair<std::string, std::size_t>> fields = {
        {"zz", 16}, {"sm", 20}, {"fy", 36}, {"zplj", 1024}};
    for (const auto& [key, limit] : fields) {
        for (const auto& [what, value] : BadWorkValues(limit, key == "zz")) {
            Publish publish;
            (key == "zz"   ? publish.zz
             : key == "sm" ? publish.sm
             : key == "fy" ? publish.fy
                           : publish.zplj) = key == "zplj" ? "http://" + value : value;
            ExpectRefused(publish.Target(), ack, key + " " + what);
        }
    }
    for (const std::string key : {"zz", "sm", "zplj"}) {
        Publish publish;
        (key == "zz" ? publish.zz : key == "sm" ? publish.sm : publish.zplj) = "";
        ExpectRefused(publish.Target(), ack, key + " empty");
    }
    Publish ftp;
    ftp.zplj = "ftp://a.com/1";
    ExpectRefused(ftp.Target(), ack, "link without http:// or https://");
    Publish wide;
    wide.zz = "砚砚砚砚砚砚砚砚砚";  // 18 bytes
    ExpectRefused(wide.Target(), ack, "pen name of nine Chinese characters");

    // A link cut at a raw "&" by a client that does not escape it must not be stored truncated.
    ExpectRefused("/tjfb.asp?zz=a&sm=b&fy=c&zplj=http://a.com/?id=7&ch=2", ack, "unexpected key");
    ExpectRefused("/tjfb.asp?zz=a&sm=b&fy=c", ack, "missing key");
    ExpectRefused("/tjfb.asp?zz=a&zz=b&sm=b&fy=c&zplj=http://a.com/1", ack, "repeated key");
    ExpectNothingStored();
}

TEST_F(GuardsTest, RecordRefusesEveryBadField) {
    const std::string ack = "添加记录成功!";
    for (const auto& [what, value] : BadWorkValues(16, true)) {
        ExpectRefused("/tjjl.asp?zplj=http://a.com/1&zznc=" + Escape(value) + "~", ack, "pen name " + what);
    }
    for (const auto& [what, value] : BadWorkValues(1024, false)) {
        ExpectRefused("/tjjl.asp?zplj=" + Escape("http://" + value) + "&zznc=a~", ack, "link " + what);
    }
    ExpectRefused("/tjjl.asp?zplj=http://a.com/1&zznc=a", ack, "no separator after the pen name");
    ExpectRefused("/tjjl.asp?zplj=http://a.com/1&zznc=~", ack, "empty pen name");
    ExpectRefused("/tjjl.asp?zplj=http://a.com/1&zznc=a~~", ack, "two separators");
    ExpectRefused("/tjjl.asp?zplj=http://a.com/1&zznc=" + std::string(17, 'a') + "~", ack, "pen name too long");
    ExpectRefused("/tjjl.asp?zplj=&zznc=a~", ack, "empty link");
    ExpectRefused("/tjjl.asp?zplj=http://a.com/1&zznc=a~&x=1", ack, "unexpected key");
    ExpectRefused("/tjjl.asp?zznc=a~", ack, "missing link");
    ExpectNothingStored();
}

TEST_F(GuardsTest, FeedbackRefusesEveryBadField) {
    const std::string ack = "56822";
    const std::string text = "这是一条有效的建议";
    ExpectRefused("/jyfk.asp?nc=&zw=" + Escape(text), ack, "empty nickname");
    ExpectRefused("/jyfk.asp?nc=a&zw=", ack, "empty text");
    ExpectRefused("/jyfk.asp?nc=a&zw=" + std::string(10, 'x'), ack, "text of 10 bytes");
    ExpectRefused("/jyfk.asp?nc=a&zw=" + std::string(181, 'x'), ack, "text of 181 bytes");
    ExpectRefused("/jyfk.asp?nc=" + std::string(21, 'n') + "&zw=" + Escape(text), ack, "nickname of 21 bytes");
    ExpectRefused("/jyfk.asp?nc=" + Escape("a\r\nb") + "&zw=" + Escape(text), ack, "nickname with a line break");
    ExpectRefused("/jyfk.asp?nc=a&zw=" + Escape(text + "\x01"), ack, "text with a control byte");
    ExpectRefused("/jyfk.asp?nc=a&zw=" + Escape(text + "\xB1"), ack, "text ending in a lead byte");
    ExpectRefused("/jyfk.asp?nc=a", ack, "missing text");
    ExpectNothingStored();
}

// The program accepts secure links, so the server must store them.
TEST_F(GuardsTest, SecureWorkLinksAreAccepted) {
    Publish secure;
    secure.zplj = "https://a.com/1";
    EXPECT_EQ(server_.Get(secure.Target()).body, "作品发布成功!");
    EXPECT_EQ(server_.Get("/tjjl.asp?zplj=" + Escape(secure.zplj) + "&zznc=a~").body, "添加记录成功!");
    EXPECT_EQ(server_.Get("/cxjl.asp?zplj=" + Escape(secure.zplj)).body, "a~");
}

TEST(FieldRulesTest, WholeGbk) {
    EXPECT_TRUE(server::IsWholeGbk(""));
    EXPECT_TRUE(server::IsWholeGbk("砚舟 abc"));
    EXPECT_TRUE(server::IsWholeGbk("\x81\x40\xFE\xFE"));
    EXPECT_FALSE(server::IsWholeGbk("\xB1"));
    EXPECT_FALSE(server::IsWholeGbk("\xB1\x3F"));
    EXPECT_FALSE(server::IsWholeGbk("\xB1\xFF"));
    EXPECT_FALSE(server::IsWholeGbk("\x80|"));
    EXPECT_FALSE(server::IsWholeGbk("a\xFF"));
    EXPECT_FALSE(server::IsWholeGbk(std::string("a\0b", 3)));
}

}  // namespace
}  // namespace yz::test
