#include "runtime/file_dialog_names.h"

#include <gtest/gtest.h>

#include "support/test_text.h"

namespace yz::test {
namespace {

TEST(FileDialogNamesTest, TheFieldGetsTheLastNameOnly) {
    EXPECT_EQ(FileDialogStartName("c:\\程序\\稿.txt"), "稿.txt");
    EXPECT_EQ(FileDialogStartName("/tmp/dir/a.kkjx"), "a.kkjx");
    EXPECT_EQ(FileDialogStartName("稿.txt"), "稿.txt");
    EXPECT_EQ(FileDialogStartName(""), "");
    // 運 is 0xDF 0x5C: its trail byte is no separator.
    EXPECT_EQ(FileDialogStartName("c:\\d\\運.txt"), "運.txt");
    EXPECT_EQ(FileDialogStartName("運\\"), "");
}

TEST(FileDialogNamesTest, TheDefaultExtensionComesFromThePattern) {
    EXPECT_EQ(DefaultExtensionOf("*.txt"), "txt");
    EXPECT_EQ(DefaultExtensionOf("*.kkjx"), "kkjx");
    EXPECT_EQ(DefaultExtensionOf(".txt"), "txt");
    EXPECT_EQ(DefaultExtensionOf("txt"), "txt");
    EXPECT_EQ(DefaultExtensionOf("*.*"), "");
    EXPECT_EQ(DefaultExtensionOf(""), "");

    EXPECT_EQ(WithDefaultExtension("c:\\d\\稿", "*.txt"), "c:\\d\\稿.txt");
    EXPECT_EQ(WithDefaultExtension("c:\\d.x\\稿", "*.txt"), "c:\\d.x\\稿.txt");
    EXPECT_EQ(WithDefaultExtension("c:\\d\\稿.md", "*.txt"), "c:\\d\\稿.md");
    EXPECT_EQ(WithDefaultExtension("c:\\d\\稿", "*.*"), "c:\\d\\稿");
}

}  // namespace
}  // namespace yz::test
