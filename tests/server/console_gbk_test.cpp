#include <gtest/gtest.h>

#include "server/console/console_html.h"
#include "server/console/gbk_form.h"

namespace yz::console {
namespace {

TEST(ConsoleGbkTest, StrictConversionTakesWhatGbkHoldsAndRefusesTheRest) {
    // Plain literals are GBK in this build, u8 literals UTF-8.
    EXPECT_EQ(StrictGbkFromUtf8(U8(u8"砚舟文匣 v4.2 ●~|")), std::string("砚舟文匣 v4.2 ●~|"));
    EXPECT_EQ(StrictGbkFromUtf8(""), std::string());
    EXPECT_EQ(StrictGbkFromUtf8(U8(u8"二〇二六，「公告」")), std::string("二〇二六，「公告」"));
    EXPECT_FALSE(StrictGbkFromUtf8(U8(u8"活动\U0001F389")));      // outside the BMP
    EXPECT_FALSE(StrictGbkFromUtf8(U8(u8"\uD55C\uAD6D\uC5B4")));  // Hangul syllables
    EXPECT_FALSE(StrictGbkFromUtf8("\xE7\xA0"));                  // cut in the middle of a character
    EXPECT_FALSE(StrictGbkFromUtf8("\xC0\xAF"));                  // overlong "/"
    EXPECT_FALSE(StrictGbkFromUtf8(std::string("a\xFF", 2)));
}

TEST(ConsoleGbkTest, RefusalNamesTheFirstCharacterGbkCannotHold) {
    EXPECT_EQ(FirstCharacterOutsideGbk(U8(u8"链接\U0001F389\uC640")), U8(u8"\U0001F389"));
    EXPECT_EQ(FirstCharacterOutsideGbk(U8(u8"\uC640\U0001F389")), U8(u8"\uC640"));
    EXPECT_EQ(FirstCharacterOutsideGbk(U8(u8"全部可以")), "");
    EXPECT_EQ(FirstCharacterOutsideGbk("\xE7\xA0"), "");
}

TEST(ConsoleGbkTest, StoredTextsRoundTripThroughTheBrowser) {
    for (const std::string& gbk : {std::string("青山客|砚边集"), std::string("~"), std::string("\x81\x40\xB0\xA1")}) {
        const auto back = StrictGbkFromUtf8(DisplayUtf8(gbk));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, gbk);
    }
}

TEST(ConsoleHtmlTest, EscapingKeepsMarkupAndQueriesIntact) {
    EXPECT_EQ(EscapeHtml("<a href=\"x\">'&'</a>"), "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;");
    EXPECT_EQ(EscapeQueryValue("a b&c=d/~\xE7"), "a%20b%26c%3Dd%2F~%E7");
    EXPECT_EQ(FormatTime(0), "1970-01-01 00:00 UTC");
    EXPECT_EQ(FormatTime(1796774400), "2026-12-09 00:00 UTC");
}

}  // namespace
}  // namespace yz::console
