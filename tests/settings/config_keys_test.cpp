#include "settings/config_keys.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "runtime/config_file.h"
#include "runtime/files.h"
#include "support/temp_dir.h"
#include "support/test_text.h"

namespace yz {
namespace {

const Text kSection = "功能配置";

// Every test runs against a configuration file in its own directory.
class ConfigKeysTest : public ::testing::Test {
  protected:
    void SetUp() override { SetProgramDirectory(dir_.path()); }
    void TearDown() override { SetProgramDirectory(""); }
    static bool Store(const Text& key, const Text& value) {
        return WriteConfigItem(ConfigFilePath(), kSection, key, value);
    }
    static Text Stored(const Text& key) { return ReadConfigItem(ConfigFilePath(), kSection, key, "(none)"); }
    test::TempDir dir_;
};

TEST_F(ConfigKeysTest, DefaultsWithoutAFileAndThePathFollowsTheProgramDirectory) {
    EXPECT_EQ(ReadBackdropAlpha(), 60);
    EXPECT_EQ(ReadTextColour(), 16711824);
    EXPECT_EQ(ReadFontName(), "宋体");
    EXPECT_EQ(ReadFontSize(), 18);
    EXPECT_FALSE(ReadFontBold() || ReadFontItalic() || ReadFontStrikeOut() || ReadFontUnderline());
    EXPECT_EQ(ReadStoredPenName(), "");
    EXPECT_EQ(ReadTutorialMonth(), "");
    EXPECT_FALSE(FileExists(ConfigFilePath())) << "reading created the file";

    EXPECT_EQ(ConfigFilePath(), dir_.path() + "\\砚舟文匣配置文件");
    test::TempDir other;
    SetProgramDirectory(other.path());
    ASSERT_TRUE(WriteFontSize(30));
    EXPECT_TRUE(FileExists(other.File("砚舟文匣配置文件")));
    SetProgramDirectory(dir_.path());
    EXPECT_EQ(ReadFontSize(), 18);
}

TEST_F(ConfigKeysTest, FlagsAreTrueOnlyForTheTextTrueAndWrittenAsTrueOrFalse) {
    const struct {
        const char* key;
        std::function<bool()> read;
        std::function<bool(bool)> write;
    } flags[] = {{"字体加粗", ReadFontBold, WriteFontBold},
                 {"字体倾斜", ReadFontItalic, WriteFontItalic},
                 {"字体删线", ReadFontStrikeOut, WriteFontStrikeOut},
                 {"字体下线", ReadFontUnderline, WriteFontUnderline}};
    const std::pair<Text, bool> cases[] = {{"真", true}, {" 真 ", true},  {"假", false},   {"true", false},
                                           {"1", false}, {"TRUE", false}, {"真真", false}, {"", false}};
    for (const auto& flag : flags) {
        SCOPED_TRACE(test::Show(flag.key));
        for (const auto& [stored, expected] : cases) {
            ASSERT_TRUE(Store(flag.key, stored));
            EXPECT_EQ(flag.read(), expected) << test::Show(stored);
        }
        ASSERT_TRUE(flag.write(true));
        EXPECT_EQ(Stored(flag.key), "真");
        ASSERT_TRUE(flag.write(false));
        EXPECT_EQ(Stored(flag.key), "假");
    }
}

TEST_F(ConfigKeysTest, NumbersReadAsIntegersAndAreWrittenAsDecimalText) {
    const struct {
        const char* key;
        std::function<std::int32_t()> read;
        std::function<bool(std::int32_t)> write;
    } numbers[] = {{"透明背景", ReadBackdropAlpha, WriteBackdropAlpha},
                   {"文本颜色", ReadTextColour, WriteTextColour},
                   {"字体大小", ReadFontSize, WriteFontSize}};
    const std::pair<Text, std::int32_t> cases[] = {{"300", 300}, {"abc", 0}, {"12abc", 12}, {"-5", -5}, {"", 0}};
    for (const auto& number : numbers) {
        SCOPED_TRACE(test::Show(number.key));
        for (const auto& [stored, expected] : cases) {
            ASSERT_TRUE(Store(number.key, stored));
            EXPECT_EQ(number.read(), expected) << test::Show(stored);
        }
        for (const std::int32_t value : {255, -1, 2147483647}) {
            ASSERT_TRUE(number.write(value));
            EXPECT_EQ(Stored(number.key), std::to_string(value));
        }
    }
}

TEST_F(ConfigKeysTest, TextsRoundTripAndEveryReadSeesTheFileAsItIsNow) {
    ASSERT_TRUE(WriteFontName("黑体") && WriteStoredPenName("砚舟") && WriteTutorialMonth("7"));
    EXPECT_EQ(ReadFontName(), "黑体");
    EXPECT_EQ(ReadStoredPenName(), "砚舟");
    EXPECT_EQ(ReadTutorialMonth(), "7");
    EXPECT_EQ(ReadFileBytes(ConfigFilePath()), BytesOf("[功能配置]\r\n字体名称=黑体\r\ncnhy=砚舟\r\nwikyxqq=7\r\n"));

    ASSERT_TRUE(WriteFileBytes(ConfigFilePath(), {"[功能配置]\n字体大小=24\n"}));
    EXPECT_EQ(ReadFontSize(), 24);
    EXPECT_EQ(ReadFontName(), "宋体");
}

TEST_F(ConfigKeysTest, WritesFailWhenTheDirectoryIsMissing) {
    SetProgramDirectory(dir_.File("missing"));
    EXPECT_FALSE(WriteFontSize(20));
    EXPECT_FALSE(WriteFontBold(true));
    EXPECT_FALSE(WriteFontName("黑体"));
}

}  // namespace
}  // namespace yz
