#include "online/publish_checks.h"

#include <gtest/gtest.h>

#include "support/test_text.h"

namespace yz::test {
namespace {

const WorkForm kGood{"砚中舟", "互助双赢", "http://book.example/1"};

struct Case {
    const char* what;
    WorkForm form;
    const char* message;  // nullptr: accepted
};

TEST(PublishChecksTest, FirstFailingCheckGivesItsMessage) {
    const Case cases[] = {
        {"work name empty", {"", "", ""}, "书名框不可为空,这么好的作品,总得要个名称吧?"},
        {"work name placeholder", {kWorkNamePlaceholder, "x|", ""}, "书名框不可为空,这么好的作品,总得要个名称吧?"},
        {"work name bar", {"a|b", "x|", ""}, "书名不得带有非法符号,请重新设置您的笔名."},
        {"motto bar", {"书", "互|助", ""}, "宣言框不得带有非法符号,请重新设置您的笔名."},
        {"link placeholder", {"书", "", kLinkPlaceholder}, "亲 作品链接地址真真的不能没有."},
        {"link empty", {"书", "", ""}, "亲 ! 作品链接地址,是真真的不能没有."},
        {"link circle before bar", {"书", "", "http://a/⊙|"}, "好像... 链接地址有非法字符(错误提示:0x0522x)"},
        {"link bar", {"书", "", "http://a/|"}, "链接地址有非法字符,这样好像是不好的."},
        {"link without scheme", {"书", "", "www.book.example"}, "大侠~~~ 请输入正确的作品链接地址"},
        {"scheme in upper case", {"书", "", "HTTP://book.example"}, "大侠~~~ 请输入正确的作品链接地址"},
        {"scheme anywhere", {"书", "", "see http://book.example"}, nullptr},
        {"secure scheme", {"书", "", "https://book.example/1"}, nullptr},
        {"motto emptied", {"书", "", "http://b"}, nullptr},
        // The second byte of 亅 (0x81 0x7C) is a bar's byte, yet no bar.
        {"bar as a trail byte", {"亅", "亅", "http://亅"}, nullptr},
    };
    for (const Case& c : cases) {
        WorkForm form = c.form;
        const std::optional<Text> refusal = CheckWork(form);
        if (c.message == nullptr) {
            EXPECT_FALSE(refusal) << c.what << ": " << Show(refusal.value_or(""));
        } else {
            EXPECT_EQ(refusal, std::optional<Text>(c.message)) << c.what << ": " << Show(refusal.value_or(""));
        }
    }
}

TEST(PublishChecksTest, MottoAtItsPlaceholderIsPublishedAsSilence) {
    WorkForm form = kGood;
    form.motto = kMottoPlaceholder;
    EXPECT_FALSE(CheckWork(form));
    EXPECT_EQ(form.motto, kSilentMotto);

    // The replacement happens before the later checks, which may still refuse.
    form = {"书", kMottoPlaceholder, ""};
    EXPECT_EQ(CheckWork(form), std::optional<Text>("亲 ! 作品链接地址,是真真的不能没有."));
    EXPECT_EQ(form.motto, kSilentMotto);

    // ... but not when an earlier check refused.
    form = {"", kMottoPlaceholder, ""};
    EXPECT_TRUE(CheckWork(form));
    EXPECT_EQ(form.motto, kMottoPlaceholder);
}

}  // namespace
}  // namespace yz::test
