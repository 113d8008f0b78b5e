#include "document/statistics.h"

#include <gtest/gtest.h>

#include "runtime/text.h"
#include "support/test_text.h"

namespace yz {
namespace {

struct StatisticsCase {
    Text text;
    int line_breaks;
    int paragraphs;
    double characters;
};

TEST(StatisticsTest, CountsParagraphsAndCharacters) {
    const StatisticsCase cases[] = {
        {"", 0, 0, 0.0},
        {"", 2, 0, -2.0},
        {"ab", 0, 1, 1.0},
        {"a", 0, 1, 0.5},
        {"砚舟 文匣", 0, 1, 4.0},
        {"砚舟\xA1\xA1文匣", 0, 1, 4.0},
        {"砚\r\n\r\n舟", 2, 3, 2.0},
        {"one line\r\n", 1, 1, 3.5},
        {"\r\n", 1, 1, 0.0},
        {"a\r\n\r\n", 2, 2, 0.5},
        {"a\rb\nc", 0, 1, 2.5},
        {"\t", 0, 1, 0.5},
        // A CR LF pair inside a double-byte character is no separator: "\x81\r" is one character.
        {"\x81\r\nx", 0, 1, 2.0},
        // 0xA1 0xA1 across two characters is no full-width space.
        {"\xB0\xA1\xA1\xB0", 0, 1, 2.0},
        // 0x80 and 0xFF are characters of one byte: the space and the CR LF after them count.
        {"\x80 x", 0, 1, 1.0},
        {"\xFF\r\nx", 1, 2, 1.0},
        {"\x81\x80\r\n", 1, 1, 1.0},
        {"\x80\xA1\xA1", 0, 1, 0.5},
    };
    for (const auto& c : cases) {
        const TextStatistics statistics = CountText(c.text);
        EXPECT_EQ(statistics.paragraphs, c.paragraphs) << test::Show(c.text);
        EXPECT_DOUBLE_EQ(CharacterCount(statistics, c.line_breaks), c.characters) << test::Show(c.text);
    }
}

TEST(StatisticsTest, ParagraphsAgreeWithSplitTextOnLongMixedTexts) {
    // The count works on 64-byte blocks of bit masks; texts with every kind of byte at every offset,
    // odd runs of high bytes across block edges included, must agree with the character walk of
    // the splitter and the space remover.
    const Text pieces[] = {"abcdefgh", "砚舟",     "\r\n",  " ",        "\xA1\xA1",     "x",        "\r",    "\n",
                           "\xB1\x7C", "文匣文匣", "\x81",  "\xA1",     "\xA1\xA1\xA1", "\x81\r\n", "\x81 ", "\x80",
                           "\xFF",     "\x81\x80", "\x80 ", "\xFF\r\n", "\xFE\xFF"};
    unsigned seed = 7;
    for (int round = 0; round < 600; ++round) {
        Text text;
        const int length = 1 + round % 300;
        for (int i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += pieces[(seed >> 16) % std::size(pieces)];
        }
        const TextStatistics statistics = CountText(text);
        EXPECT_EQ(statistics.paragraphs, static_cast<int>(SplitText(text, "\r\n").size())) << test::Show(text);
        EXPECT_EQ(statistics.bytes_without_spaces, TextLength(RemoveAllSpaces(text))) << test::Show(text);
    }
}

TEST(StatisticsTest, StandAloneBytesCountAtEveryBlockOffset) {
    // 0x80 and 0xFF take nothing with them, wherever they fall in the 64-byte blocks; the counts
    // here come from the pieces, not from another walk over the text.
    const Text piece = "\x80 \xFF\r\n";  // 4 bytes without the space, one separator
    for (int offset = 0; offset < 140; ++offset) {
        Text text(static_cast<std::size_t>(offset), 'a');
        for (int i = 0; i < 40; ++i) {
            text += piece;
        }
        const TextStatistics statistics = CountText(text);
        EXPECT_EQ(statistics.paragraphs, 40) << "offset " << offset;
        EXPECT_EQ(statistics.bytes_without_spaces, offset + 40 * 4) << "offset " << offset;
    }
}

TEST(StatisticsTest, TailHasTheStatusLineForm) {
    EXPECT_EQ(StatisticsTail(CountText("砚\r\n\r\n舟"), 2), " --霁川软件 当前文档共计:  3  个段落,总字数为:  2");
    EXPECT_EQ(StatisticsTail(CountText("a"), 0), " --霁川软件 当前文档共计:  1  个段落,总字数为:  0.5");
    EXPECT_EQ(StatisticsTail(CountText(""), 2), " --霁川软件 当前文档共计:  0  个段落,总字数为:  -2");
}

}  // namespace
}  // namespace yz
