#include "runtime/web_address.h"

#include <gtest/gtest.h>

#include "runtime/net_session.h"
#include "support/test_text.h"

namespace yz {
namespace {

struct SplitCase {
    Text address;
    std::optional<WebAddress> expected;
};

TEST(SplitWebAddressTest, TakesAddressesApartAsTheFetchSendsThem) {
    const SplitCase cases[] = {
        {"http://127.0.0.1:25680/cxzp.asp", WebAddress{false, "127.0.0.1", 25680, "/cxzp.asp"}},
        {"http://example.com", WebAddress{false, "example.com", 80, "/"}},
        {"HTTPS://example.com/a", WebAddress{true, "example.com", 443, "/a"}},
        {"http://h?id=1", WebAddress{false, "h", 80, "/?id=1"}},
        {"http://h:8080", WebAddress{false, "h", 8080, "/"}},
        // Everything from the first "#" on stays home, in the host part as much as in the object.
        {"http://h/tjfb.asp?zz=a#b&sm=c", WebAddress{false, "h", 80, "/tjfb.asp?zz=a"}},
        {"http://h#x", WebAddress{false, "h", 80, "/"}},
        // GBK and the record separators go into the object as they are.
        {"http://h/tjjl.asp?zplj=x&zznc=砚舟~|", WebAddress{false, "h", 80, "/tjjl.asp?zplj=x&zznc=砚舟~|"}},
        {"http://h:65535/", WebAddress{false, "h", 65535, "/"}},
        {"", std::nullopt},
        {"ftp://h/a", std::nullopt},
        {"127.0.0.1/cxzp.asp", std::nullopt},
        {"http://", std::nullopt},
        {"http:///a", std::nullopt},
        {"http://:80/a", std::nullopt},
        {"http://h:/a", std::nullopt},
        {"http://h:0/a", std::nullopt},
        {"http://h:65536/a", std::nullopt},
        {"http://h:8o/a", std::nullopt},
        {"http://h:123456/a", std::nullopt},
        {"http://a b/", std::nullopt},
        {"http://user@h/", std::nullopt},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitWebAddress(c.address), c.expected) << test::Show(c.address);
    }
}

TEST(HttpReadBufferSizeTest, AnnouncedLengthPlusOneUpToTheCeiling) {
    EXPECT_EQ(HttpReadBufferSize(0), 10240u);
    EXPECT_EQ(HttpReadBufferSize(-1), 10240u);
    EXPECT_EQ(HttpReadBufferSize(1), 2u);
    EXPECT_EQ(HttpReadBufferSize(20000), 20001u);
    EXPECT_EQ(HttpReadBufferSize(102398), 102399u);
    EXPECT_EQ(HttpReadBufferSize(102399), 102400u);
    EXPECT_EQ(HttpReadBufferSize(102400), 102400u);
    EXPECT_EQ(HttpReadBufferSize(std::int64_t{1} << 40), 102400u);
}

}  // namespace
}  // namespace yz
