#include "runtime/config_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "runtime/files.h"
#include "support/faulty_replace_ops.h"
#include "support/temp_dir.h"
#include "support/test_text.h"

namespace yz {
namespace {

// "丄" is 81 41 and "乤" 81 61: the same lead byte, trail bytes "A" and "a".
const Text kTrailUpperA = "\x81\x41";
const Text kTrailLowerA = "\x81\x61";
// "乚" is 81 5D: its trail byte is "]".
const Text kTrailBracket = "\x81\x5D";

std::string Quoted(const std::optional<Text>& value) {
    return value ? test::Show(*value) : "(missing)";
}

// Written by hand: comments, blank lines, LF endings, keys in another order, a section after ours
// and no line break at the end.
const std::string kHandWritten =
    "; 砚舟文匣\n"
    "[其他]\n"
    "甲=1\n"
    "\n"
    "[功能配置]\n"
    "  字体名称 = 宋体 \n"
    "; 透明背景=1\n"
    "透明背景=60\n"
    "\n"
    "\n"
    "[尾部]\n"
    "x=y";

struct FindCase {
    const char* name;
    std::string content;
    Text section;
    Text key;
    std::optional<Text> expected;
};

TEST(FindConfigValueTest, ReadsLikeThePrivateProfileFunctions) {
    const FindCase cases[] = {
        {"plain", kHandWritten, "功能配置", "透明背景", "60"},
        {"blanks around key and value", kHandWritten, "功能配置", "字体名称", "宋体"},
        {"last line without line break", kHandWritten, "尾部", "x", "y"},
        {"missing key", kHandWritten, "功能配置", "字体大小", std::nullopt},
        {"missing section", kHandWritten, "没有", "甲", std::nullopt},
        {"key of another section", kHandWritten, "功能配置", "甲", std::nullopt},
        // As the system reads it, a line starting with ";" is an entry like any other.
        {"semicolon line is a key of its own", kHandWritten, "功能配置", "; 透明背景", "1"},
        {"CR LF", "[s]\r\nk=18\r\n", "s", "k", "18"},
        {"entry before any section", "k=v\n[s]\n", "s", "k", std::nullopt},
        {"section name case", "[Other]\nKey=v\n", "oTHER", "kEY", "v"},
        {"blanks inside brackets", "[  s  ]\nk=v\n", "s", "k", "v"},
        {"tabs and CR as blanks", "[s]\n\tk\t=\tv \r\n", "s", "k", "v"},
        {"first section wins", "[s]\na=1\n[S]\nb=2\n", "s", "b", std::nullopt},
        {"first key wins", "[s]\nk=1\nK=2\n", "s", "k", "1"},
        {"key without equals has no value", "[s]\nalone\n", "s", "alone", std::nullopt},
        {"key without equals hides a later line", "[s]\nk\nk=1\n", "s", "k", std::nullopt},
        {"CR alone ends a line", "[s]\rk=1\rj=2\r", "s", "j", "2"},
        {"mixed line ends", "[s]\r\nk=1\rj=2\nl=3", "s", "l", "3"},
        {"blank lines of CRs", "[s]\r\r\r\nk=v\r", "s", "k", "v"},
        {"VT, FF and 0x1A are blanks", "[\vs\x1A]\n\fk\x1A=\x1Av\v\n", "s", "k", "v"},
        {"other control bytes belong to the name", "[s]\n\x01k=v\n", "s", "k", std::nullopt},
        {"full-width space belongs to the name", "[s]\n\xA1\xA1k=v\n", "s", "k", std::nullopt},
        {"equals in value", "[s]\nk=a=b\n", "s", "k", "a=b"},
        {"double quotes", "[s]\nk=\" a b \"\n", "s", "k", " a b "},
        {"single quotes", "[s]\nk='v'\n", "s", "k", "v"},
        {"unmatched quotes kept", "[s]\nk=\"v'\n", "s", "k", "\"v'"},
        {"lone quote kept", "[s]\nk=\"\n", "s", "k", "\""},
        {"trail byte A is not a", "[s]\n" + kTrailUpperA + "=1\n", "s", kTrailLowerA, std::nullopt},
        {"trail byte letter itself", "[s]\n" + kTrailUpperA + "=1\n", "s", kTrailUpperA, "1"},
        {"section with trail byte ]", "[" + kTrailBracket + "]\nk=1\n", kTrailBracket, "k", "1"},
        {"trail byte ] does not close", "[" + kTrailBracket + "\nk=1\n", "\x81", "k", std::nullopt},
        {"backslash trail byte", "[運]\n乗=2\n", "運", "乗", "2"},
        {"long value cut", "[s]\nk=" + std::string(kConfigValueLimit + 9, 'v'), "s", "k",
         std::string(kConfigValueLimit, 'v')},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(Quoted(FindConfigValue(c.content, c.section, c.key)), Quoted(c.expected)) << c.name;
    }
}

struct UpdateCase {
    const char* name;
    std::string content;
    Text section;
    std::optional<Text> key;
    std::optional<Text> value;
    std::string expected;
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

TEST(UpdateConfigContentTest, ChangesOnlyTheLineOfTheKey) {
    const std::string& hand = kHandWritten;
    const UpdateCase cases[] = {
        {"replace value", hand, "功能配置", "透明背景", "80", Replaced(hand, "透明背景=60\n", "透明背景=80\n")},
        {"replace keeps the spelling in the file", hand, "功能配置", "字体名称", "黑体",
         Replaced(hand, "  字体名称 = 宋体 \n", "字体名称=黑体\n")},
        {"replace last line without break", hand, "尾部", "x", "z", Replaced(hand, "x=y", "x=z")},
        {"replace the first of two", "[s]\nk=1\nk=2\n", "s", "k", "3", "[s]\nk=3\nk=2\n"},
        {"a line without equals takes the value", "[s]\nk\nk=1\n", "s", "k", "2", "[s]\nk=2\nk=1\n"},
        {"an empty value gets its equals", "[s]\r\nk\r\n", "s", "k", "", "[s]\r\nk=\r\n"},
        {"replace in a CR file", "[s]\rk=1\rj=2", "s", "j", "3", "[s]\rk=1\rj=3"},
        {"append in a CR file", "[s]\rk=1\r\r[t]\r", "s", "n", "1", "[s]\rk=1\rn=1\r\n\r[t]\r"},
        {"delete in a CR file", "[s]\rk=1\rj=2\r", "s", "k", std::nullopt, "[s]\rj=2\r"},
        {"replace in the first of two sections", "[s]\nk=1\n[s]\nk=2\n", "s", "k", "3", "[s]\nk=3\n[s]\nk=2\n"},
        {"same value changes nothing", hand, "功能配置", "字体名称", "宋体", hand},
        {"append after the last non-blank line", hand, "功能配置", "字体大小", "18",
         Replaced(hand, "透明背景=60\n", "透明背景=60\n字体大小=18\r\n")},
        {"append after a comment line", "[s]\nk=1\n; note\n\n[t]\n", "s", "n", "2", "[s]\nk=1\n; note\nn=2\r\n\n[t]\n"},
        {"append to the unterminated last line", hand, "尾部", "z", "1", hand + "\r\nz=1\r\n"},
        {"append to an unterminated header", "[s]", "s", "k", "v", "[s]\r\nk=v\r\n"},
        {"commented key is appended, not replaced", "[s]\n;k=1\n", "s", "k", "2", "[s]\n;k=1\nk=2\r\n"},
        {"trail byte letters are different keys", "[s]\n" + kTrailUpperA + "=1\n", "s", kTrailLowerA, "2",
         "[s]\n" + kTrailUpperA + "=1\n" + kTrailLowerA + "=2\r\n"},
        {"new section after an unterminated line", hand, "新", "k", "v", hand + "\r\n[新]\r\nk=v\r\n"},
        {"new section after a terminated line", "a=1\n", "新", "k", "v", "a=1\n[新]\r\nk=v\r\n"},
        {"new file", "", "s", "k", "v", "[s]\r\nk=v\r\n"},
        {"names are written as given", "", " s ", " k ", "v", "[ s ]\r\n k =v\r\n"},
        {"delete key", hand, "功能配置", "透明背景", std::nullopt, Replaced(hand, "透明背景=60\n", "")},
        {"a spelling ending in a lone lead byte gives way to the caller's, or the equals is lost", "[s]\n\xA1", "s",
         "\xA1 ", "v", "[s]\n\xA1 =v"},
        {"replace by another case keeps the spelling", "[S]\r\nKey=1\r\n", "s", "KEY", "2", "[S]\r\nKey=2\r\n"},
        {"delete last key without break", hand, "尾部", "x", std::nullopt, Replaced(hand, "x=y", "")},
        {"delete the first of two", "[s]\nk=1\nk=2\n", "s", "k", std::nullopt, "[s]\nk=2\n"},
        {"delete section", hand, "功能配置", std::nullopt, std::nullopt,
         Replaced(hand, "[功能配置]\n  字体名称 = 宋体 \n; 透明背景=1\n透明背景=60\n\n\n", "")},
        {"delete section ignores value", hand, "其他", std::nullopt, "v", Replaced(hand, "[其他]\n甲=1\n\n", "")},
        {"delete last section", hand, "尾部", std::nullopt, std::nullopt, Replaced(hand, "[尾部]\nx=y", "")},
        {"delete missing section", hand, "没有", std::nullopt, std::nullopt, hand},
        {"delete only the first of two sections", "[s]\na=1\n[s]\nb=2\n", "s", std::nullopt, std::nullopt,
         "[s]\nb=2\n"},
    };
    for (const UpdateCase& c : cases) {
        EXPECT_EQ(test::Show(UpdateConfigContent(c.content, c.section, c.key, c.value)), test::Show(c.expected))
            << c.name;
    }
}

class ConfigFileTest : public ::testing::Test {
  protected:
    std::string Content() const {
        std::ifstream in(dir_.native() / "config.ini", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void SetContent(const std::string& content) const {
        std::ofstream(dir_.native() / "config.ini", std::ios::binary | std::ios::trunc) << content;
    }
    test::TempDir dir_;
    Text file_ = dir_.File("config.ini");
};

TEST_F(ConfigFileTest, ReadGivesTheDefaultForWhatIsMissingButNothingForBlankNames) {
    EXPECT_EQ(ReadConfigItem(file_, "s", "k", "def"), "def");
    EXPECT_EQ(ReadConfigItem(file_, "s", "k"), "");
    EXPECT_EQ(ReadConfigItem(file_, "s", "k", Text(kConfigValueLimit + 5, 'd')), Text(kConfigValueLimit, 'd'));
    // The default comes back as the system gives it: without trailing spaces and matching quotes.
    EXPECT_EQ(ReadConfigItem(file_, "s", "k", "'q'"), "q");
    EXPECT_EQ(ReadConfigItem(file_, "s", "k", "\" d \"  "), " d ");
    EXPECT_EQ(ReadConfigItem(file_, "s", "k", " d\t "), " d\t");
    EXPECT_EQ(ReadConfigItem(file_, "s", "k", "   "), " ");
    SetContent("[s]\nk=v\n[ ]\n =w\n");
    EXPECT_EQ(ReadConfigItem(file_, "s", "other", "def"), "def");
    EXPECT_EQ(ReadConfigItem(file_, "other", "k", "def"), "def");
    EXPECT_EQ(ReadConfigItem("  " + file_, " \ts", "  k", "def"), "v") << "leading blanks are skipped";
    const Text blank_names[][3] = {{"", "s", "k"},    {"   ", "s", "k"}, {file_, "", "k"},
                                   {file_, " ", "k"}, {file_, "s", ""},  {file_, "s", "\t\r\n"}};
    for (const auto& names : blank_names) {
        EXPECT_EQ(ReadConfigItem(names[0], names[1], names[2], "def"), "")
            << test::Show(names[0]) << test::Show(names[1]) << test::Show(names[2]);
    }
}

TEST_F(ConfigFileTest, WritesCreateTheFileAndKeepEveryOtherByte) {
    ASSERT_TRUE(WriteConfigItem(file_, "功能配置", "字体大小", "18"));
    EXPECT_EQ(Content(), "[功能配置]\r\n字体大小=18\r\n");
    ASSERT_TRUE(WriteConfigItem(file_, "功能配置"));
    EXPECT_EQ(Content(), "");

    SetContent(kHandWritten);
    ASSERT_TRUE(WriteConfigItem(file_, "功能配置", "透明背景", "99"));
    EXPECT_EQ(ReadConfigItem(file_, "功能配置", "透明背景"), "99");
    ASSERT_TRUE(WriteConfigItem(file_, "功能配置", "字体加粗", "真"));
    ASSERT_TRUE(WriteConfigItem(file_, "其他", "甲", std::nullopt));
    EXPECT_EQ(ReadConfigItem(file_, "其他", "甲", "gone"), "gone");
    ASSERT_TRUE(WriteConfigItem(file_, "尾部"));
    std::string expected = Replaced(kHandWritten, "透明背景=60\n", "透明背景=99\n字体加粗=真\r\n");
    expected = Replaced(Replaced(expected, "甲=1\n", ""), "[尾部]\nx=y", "");
    EXPECT_EQ(test::Show(Content()), test::Show(expected));

    const Text long_value(kConfigValueLimit + 10, 'v');
    ASSERT_TRUE(WriteConfigItem(file_, "s", "k", long_value));
    EXPECT_NE(Content().find(long_value), std::string::npos);
    EXPECT_EQ(ReadConfigItem(file_, "s", "k"), long_value.substr(0, kConfigValueLimit));
}

TEST_F(ConfigFileTest, WritesThatCannotBeDoneFailAndChangeNothing) {
    SetContent("[s]\nk=v\n");
    ASSERT_TRUE(SetFileAttributes(file_, kAttributeReadOnly));
    EXPECT_FALSE(WriteConfigItem(file_, "s", "k", "w"));
    EXPECT_FALSE(WriteConfigItem(file_, "s", "k2", "w"));
    EXPECT_FALSE(WriteConfigItem(file_, "s"));
    // Nothing to change needs no write.
    EXPECT_TRUE(WriteConfigItem(file_, "s", "k", "v"));
    EXPECT_TRUE(WriteConfigItem(file_, "s", "missing", std::nullopt));
    EXPECT_EQ(Content(), "[s]\nk=v\n");
    ASSERT_TRUE(SetFileAttributes(file_, 0));

    EXPECT_FALSE(WriteConfigItem(dir_.File("missing\\config.ini"), "s", "k", "v"));
    EXPECT_FALSE(WriteConfigItem("", "s", "k", "v"));
    std::filesystem::create_directory(dir_.native() / "folder");
    EXPECT_FALSE(WriteConfigItem(dir_.File("folder"), "s", "k", "v"));
    // A file that exists but cannot be read is never rewritten from nothing (every setting lost),
    // nor is one whose replacement fails half-way.
    SetContent("[s]\nk=v\nother=1\n");
    for (const test::Step step : {test::Step::kReadTarget, test::Step::kWrite, test::Step::kRename}) {
        test::FaultyOps ops({step});
        EXPECT_FALSE(WriteConfigItemWith(ops, file_, "s", "k", "w")) << static_cast<int>(step);
        EXPECT_EQ(Content(), "[s]\nk=v\nother=1\n") << static_cast<int>(step);
    }

    // Deleting from a file that does not exist creates none.
    EXPECT_TRUE(WriteConfigItem(dir_.File("new.ini"), "s", "k", std::nullopt));
    EXPECT_TRUE(WriteConfigItem(dir_.File("new.ini"), "s"));
    EXPECT_FALSE(FileExists(dir_.File("new.ini")));
}

}  // namespace
}  // namespace yz
