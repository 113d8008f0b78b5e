#include "online/web_requests.h"

#include <gtest/gtest.h>

#include "support/test_text.h"

namespace yz {
namespace {

const Text kBase = "http://127.0.0.1:25680";

TEST(EscapeQueryValueTest, EscapesWhatWouldBreakTheRequestAndNothingElse) {
    const std::pair<Text, Text> cases[] = {
        {"", ""},
        {"plain-text_1.2", "plain-text_1.2"},
        {"a&b=c", "a%26b%3Dc"},
        {"#top", "%23top"},
        {"100%", "100%25"},
        {"1+1 2", "1%2B1%202"},
        {"line\r\nnext\ttab", "line%0D%0Anext%09tab"},
        {Text("\x01\x1F\x7F", 3), "%01%1F%7F"},
        // GBK bytes, the record separators and the other characters of a link stay raw.
        {"青灯~白马|", "青灯~白马|"},
        {"http://example.com/book?id=7&ch=2", "http://example.com/book?id%3D7%26ch%3D2"},
        {"/:;?@!$'()*,[]", "/:;?@!$'()*,[]"},
        // A character whose trail byte is 0x7C ("|") stays whole.
        {"\xB1\x7C", "\xB1\x7C"},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(EscapeQueryValue(value), expected) << test::Show(value);
    }
}

TEST(WebRequestsTest, EveryPageInKeyOrder) {
    EXPECT_EQ(RecordsQueryAddress(kBase, "http://a.cn/b?id=7&ch=2"),
              "http://127.0.0.1:25680/cxjl.asp?zplj=http://a.cn/b?id%3D7%26ch%3D2");
    EXPECT_EQ(AddRecordAddress(kBase, "http://a.cn/b", "青灯"),
              "http://127.0.0.1:25680/tjjl.asp?zplj=http://a.cn/b&zznc=青灯~");
    EXPECT_EQ(PublishAddress(kBase, "青灯", "砚舟 记", "求点击&有访必回", "http://a.cn/b#c"),
              "http://127.0.0.1:25680/tjfb.asp?zz=青灯&sm=砚舟%20记&fy=求点击%26有访必回&zplj=http://a.cn/b%23c");
    EXPECT_EQ(PublishAddress(kBase, "p", "w", "", "http://l"),
              "http://127.0.0.1:25680/tjfb.asp?zz=p&sm=w&fy=&zplj=http://l");
    EXPECT_EQ(WorksListAddress(kBase), "http://127.0.0.1:25680/cxzp.asp");
    EXPECT_EQ(FeedbackAddress(kBase, "读者=1", "第一行\r\n100%好+"),
              "http://127.0.0.1:25680/jyfk.asp?nc=读者%3D1&zw=第一行%0D%0A100%25好%2B");
    EXPECT_EQ(LatestVersionAddress(kBase), "http://127.0.0.1:25680/ybtwzp.asp?id=1");
    EXPECT_EQ(AnnouncementAddress(kBase), "http://127.0.0.1:25680/lszbgg.asp?id=1");
    EXPECT_EQ(AnnouncementImageAddress(kBase, "images/gg.jpg"), "http://127.0.0.1:25680/images/gg.jpg");
}

// Whatever the values hold, each key appears once, in its place, so the server can take every
// value back whole.
TEST(WebRequestsTest, HostileValuesCannotAddOrCutKeys) {
    const Text hostile = "x&zz=y#z=%&sm";
    const Text address = PublishAddress(kBase, hostile, hostile, hostile, hostile);
    EXPECT_EQ(address.find('#'), Text::npos);
    int ampersands = 0;
    int equals = 0;
    for (const char c : address) {
        ampersands += c == '&' ? 1 : 0;
        equals += c == '=' ? 1 : 0;
    }
    EXPECT_EQ(ampersands, 3) << address;
    EXPECT_EQ(equals, 4) << address;
}

}  // namespace
}  // namespace yz
