#include "runtime/text.h"

#include <gtest/gtest.h>

#include "support/test_text.h"

namespace yz {
namespace {

// "\xB1\x7C" is a character whose trail byte equals "|", "\xB0\x7E" one whose trail byte is "~":
// separators that the program uses must never be found inside them.
const Text kTrailBar = "\xB1\x7C";
const Text kTrailTilde = "\xB0\x7E";

TEST(TextBytes, LengthsAndCutsCountBytes) {
    const Text two_chars = "砚舟";
    EXPECT_EQ(TextLength(two_chars), 4);
    EXPECT_EQ(TextLeft(two_chars, 1), "\xD1");  // a lone lead byte
    EXPECT_EQ(TextLeft(two_chars, 99), two_chars);
    EXPECT_EQ(TextLeft(two_chars, 0), "");
    EXPECT_EQ(TextLeft(two_chars, -3), "");
    EXPECT_EQ(TextRight("abc", 2), "bc");
    EXPECT_EQ(TextRight("abc", 7), "abc");
    EXPECT_EQ(TextRight("abc", -1), "");
    EXPECT_EQ(CharCodeAt("A\xD1"), 'A');
    EXPECT_EQ(CharCodeAt("A\xD1", 2), 0xD1);
    EXPECT_EQ(CharCodeAt("A", 2), 0);
    EXPECT_EQ(CharCodeAt("A", 0), 0);
}

struct FindCase {
    Text text;
    Text sought;
    int start;
    bool ignore_case;
    int expected;
};

TEST(FindTextTest, FindsOnCharacterBoundariesOnly) {
    const FindCase cases[] = {
        {"abcabc", "c", 1, false, 3},
        {"abcabc", "c", 4, false, 6},
        {"abcabc", "c", 7, false, -1},
        {"abcabc", "c", -5, false, 3},
        {"abcabc", "", 1, false, 1},
        // An empty sought text answers 1 whatever the start, as long as some text remains.
        {"abcabc", "", 6, false, 1},
        {"", "", 1, false, -1},
        {"abc", "", 4, false, -1},
        {"abc", "abcd", 1, false, -1},
        {"ABC", "b", 1, false, -1},
        {"ABC", "b", 1, true, 2},
        {kTrailBar + "|", "|", 1, false, 3},
        {kTrailTilde + "~x", "~", 1, false, 3},
        {kTrailBar, "|", 1, false, -1},
        {"x" + kTrailBar + "|", "|", 1, false, 4},
        // A match never begins on a trail byte, even when the bytes there equal the sought text.
        {"\xD1\xE2\xE2", "\xE2", 1, false, 3},
        {"砚舟文匣", "文匣", 1, false, 5},
        // 0x80 and 0xFF are characters of their own: the byte after them starts the next one.
        {"\x80 x", " ", 1, false, 2},
        {"\xFF|", "|", 1, false, 2},
        {"\x81\x80|", "|", 1, false, 3},
        // Without case only ASCII letters fold, never the trail byte of a character: "\x81\x41"
        // and "\x81\x61" are two different characters.
        {"\x81\x41", "\x81\x61", 1, true, -1},
        {"x\xB0\x41", "\xB0\x61", 1, true, -1},
        {"A\201Ab", "a\201AB", 1, true, 1},  // octal 201 is 0x81
        {"\200A", "\200a", 1, true, 1},      // octal 200 is 0x80
        {"砚舟A", "舟a", 1, true, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindText(c.text, c.sought, c.start, c.ignore_case), c.expected)
            << test::Show(c.text) << " sought " << test::Show(c.sought) << " from " << c.start;
    }
}

TEST(SplitTextTest, SplitsLikeTheProtocolsExpect) {
    EXPECT_TRUE(SplitText("").empty());
    EXPECT_TRUE(SplitText("a,b", ",", 0).empty());
    EXPECT_TRUE(SplitText("a,b", ",", -1).empty());
    EXPECT_EQ(SplitText("a,b", ""), (TextList{"a,b"}));
    EXPECT_EQ(SplitText("a,b"), (TextList{"a", "b"}));
    EXPECT_EQ(SplitText("name1|name2|", "|"), (TextList{"name1", "name2"}));
    EXPECT_EQ(SplitText("|a", "|"), (TextList{"", "a"}));
    EXPECT_EQ(SplitText("a||b", "|"), (TextList{"a", "", "b"}));
    EXPECT_EQ(SplitText("a~b~c~d", "~", 2), (TextList{"a", "b"}));
    EXPECT_EQ(SplitText("a~b", "~", 5), (TextList{"a", "b"}));
    EXPECT_EQ(SplitText("a\r\nb\r\n", "\r\n"), (TextList{"a", "b"}));
    EXPECT_EQ(SplitText(kTrailBar + "|" + kTrailBar, "|"), (TextList{kTrailBar, kTrailBar}));
    EXPECT_EQ(SplitText(kTrailTilde, "~"), (TextList{kTrailTilde}));
    EXPECT_EQ(SplitText("\x80,a"), (TextList{"\x80", "a"}));
    EXPECT_EQ(SplitText("\xFF|\xFF", "|"), (TextList{"\xFF", "\xFF"}));
}

TEST(TextSpaces, RemovesAsciiAndFullWidthSpacesOnly) {
    EXPECT_EQ(RemoveAllSpaces(" a b\t\r\n "), "ab\t\r\n");
    EXPECT_EQ(RemoveAllSpaces("\xA1\xA1砚\xA1\xA1舟 "), "砚舟");
    // 0xA1 0xA1 straddling two characters is not a full-width space.
    EXPECT_EQ(RemoveAllSpaces("\xB0\xA1\xA1\xB0"), "\xB0\xA1\xA1\xB0");
    // 0x80 and 0xFF take nothing with them.
    EXPECT_EQ(RemoveAllSpaces("\x80 x"), "\x80x");
    EXPECT_EQ(RemoveAllSpaces("\xFF\xA1\xA1\x80\xA1\xA1"), "\xFF\x80");
}

TEST(CompareTextTest, OrdersBytesAndFoldsOnlyAsciiLetters) {
    EXPECT_EQ(CompareText("abc", "abc", true), 0);
    EXPECT_LT(CompareText("abc", "abd", true), 0);
    EXPECT_GT(CompareText("abcd", "abc", true), 0);
    EXPECT_LT(CompareText("ABC", "abc", true), 0);
    EXPECT_EQ(CompareText("ABC", "abc", false), 0);
    EXPECT_GT(CompareText("\xB0\xA1", "a", true), 0);
    // Trail bytes 'A' and 'a' are different characters even without case.
    EXPECT_NE(CompareText("\x81\x41", "\x81\x61", false), 0);
    // After 0x80 (octal 200) and 0xFF (octal 377) a letter is a character of its own.
    EXPECT_EQ(CompareText("\200A", "\200a", false), 0);
    EXPECT_EQ(CompareText("\377A", "\377a", false), 0);
}

TEST(TextBytes, CutsOnCharacterBoundaries) {
    EXPECT_EQ(CutGbkAtBoundary("a中文", 2), "a");
    EXPECT_EQ(CutGbkAtBoundary("a中文", 3), "a中");
    EXPECT_EQ(CutGbkAtBoundary("a中文", -1), "");
    // A lone lead byte at the end is not a whole character.
    EXPECT_EQ(CutGbkAtBoundary(Text("ab\xD6"), 5), "ab");
    // 0x80 (octal 200) and 0xFF (octal 377) are whole characters of one byte.
    EXPECT_EQ(CutGbkAtBoundary(Text("\200\377ab"), 3), "\200\377a");
}

}  // namespace
}  // namespace yz
