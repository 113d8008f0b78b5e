#include "runtime/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/atomic_write.h"
#include "runtime/convert.h"
#include "runtime/rescue_files.h"
#include "support/faulty_replace_ops.h"
#include "support/temp_dir.h"
#include "support/test_text.h"

namespace yz {
namespace {

// "運" is DF 5C and "乗" 81 5C: the second byte of each is the backslash.
const Text kConfigName = "砚舟文匣配置文件";

std::string ReadNative(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t EntryCount(const std::filesystem::path& directory) {
    auto entries = std::filesystem::directory_iterator(directory);
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

class FilesTest : public ::testing::Test {
  protected:
    std::filesystem::path Native(const char* name) const { return dir_.native() / name; }
    void WriteNative(const char* name, const std::string& content) const {
        std::ofstream(Native(name), std::ios::binary | std::ios::trunc) << content;
    }
    test::TempDir dir_;
};

TEST_F(FilesTest, WritesNonEmptyPartsInOrderAndReplacesTheWholeFile) {
    const Bytes binary = {0x00, 0xFF, 0x0D, 0x0A};
    const std::string big(200000, 'x');
    ASSERT_TRUE(WriteFileBytes(dir_.File("a.bin"), {"", "ab", binary, "", big, ""}));
    const std::string expected = "ab" + std::string("\0\xFF\r\n", 4) + big;
    EXPECT_EQ(ReadNative(Native("a.bin")), expected);
    EXPECT_EQ(ReadFileBytes(dir_.File("a.bin")), BytesOf(expected));

    ASSERT_TRUE(WriteFileBytes(dir_.File("a.bin"), {"new"}));
    EXPECT_EQ(ReadNative(Native("a.bin")), "new");
    ASSERT_TRUE(WriteFileBytes(dir_.File("a.bin"), {}));
    EXPECT_EQ(ReadNative(Native("a.bin")), "");
    EXPECT_EQ(EntryCount(dir_.native()), 1u) << "a temporary file was left behind";
}

TEST_F(FilesTest, GbkNamesWithABackslashTrailByteStayWhole) {
    const Text sub = dir_.File("運");
    ASSERT_TRUE(std::filesystem::create_directory(NativePath(sub)));
    for (const Text& path : {dir_.File(kConfigName), dir_.File("運乗.txt"), sub + "\\乗"}) {
        ASSERT_TRUE(WriteFileBytes(path, {path})) << test::Show(path);
        EXPECT_TRUE(FileExists(path));
        EXPECT_EQ(ReadFileBytes(path), BytesOf(path));
    }
    EXPECT_EQ(EntryCount(dir_.native()), 3u);
    EXPECT_EQ(EntryCount(NativePath(sub)), 1u);
}

TEST_F(FilesTest, RefusesAReadOnlyTargetAndLeavesItIntact) {
    const Text path = dir_.File("locked.txt");
    WriteNative("locked.txt", "old");
    ASSERT_TRUE(SetFileAttributes(path, kAttributeReadOnly));
    EXPECT_FALSE(WriteFileBytes(path, {"new"}));
    EXPECT_EQ(ReadNative(Native("locked.txt")), "old");
    EXPECT_EQ(EntryCount(dir_.native()), 1u);
    ASSERT_TRUE(SetFileAttributes(path, 0));
    EXPECT_TRUE(WriteFileBytes(path, {"new"}));
}

// The target may turn read-only while the temporary file is written, after the first check.
TEST_F(FilesTest, TheReplaceStepItselfRefusesAReadOnlyTarget) {
    WriteNative("late.txt", "old");
    FileReplaceOps& ops = PlatformReplaceOps();
    TempFile temp;
    ASSERT_TRUE(ops.CreateTemp(Native("late.txt"), temp));
    ASSERT_TRUE(ops.Write(temp, "new") && ops.Close(temp));
    ASSERT_TRUE(SetFileAttributes(dir_.File("late.txt"), kAttributeReadOnly));
    EXPECT_FALSE(ops.Rename(temp, Native("late.txt")));
    EXPECT_TRUE(ops.Remove(temp.path));
    ASSERT_TRUE(SetFileAttributes(dir_.File("late.txt"), 0));
    EXPECT_EQ(ReadNative(Native("late.txt")), "old");
}

TEST_F(FilesTest, FailsWithoutAPlaceToWrite) {
    std::filesystem::create_directory(Native("folder"));
    for (const Text& path : {Text(), dir_.File("missing\\a.txt"), dir_.File("folder")}) {
        EXPECT_FALSE(WriteFileBytes(path, {"x"})) << test::Show(path);
    }
    EXPECT_EQ(EntryCount(dir_.native()), 1u);
}

// A rescue never replaces another: copies made in one second get names of their own, and the
// folder is made with the first.
TEST_F(FilesTest, RescueFilesNeverReplaceOneAnother) {
    RescueFiles rescue(dir_.File("备份"));
    const DateTime at{2026, 12, 8, 9, 5, 7};
    EXPECT_EQ(rescue.Write("甲", at), dir_.File("备份\\20261208-090507.txt"));
    EXPECT_EQ(rescue.Write("乙", at), dir_.File("备份\\20261208-090507-2.txt"));
    EXPECT_EQ(ToText(ReadFileBytes(dir_.File("备份\\20261208-090507.txt"))), "甲");
    EXPECT_EQ(ToText(ReadFileBytes(dir_.File("备份\\20261208-090507-2.txt"))), "乙");
    // Where the folder cannot be made, nothing is written.
    ASSERT_TRUE(WriteFileBytes(dir_.File("文件"), {"x"}));
    EXPECT_EQ(RescueFiles(dir_.File("文件")).Write("丙", at), "");
}

using test::FaultyOps;
using test::Step;

TEST_F(FilesTest, RunsTheStepsInOrderAndPassesOnlyNonEmptyParts) {
    FaultyOps ops;
    ASSERT_TRUE(WriteFileBytesWith(ops, dir_.File("a.txt"), {"", "abc", "", "de", ""}));
    EXPECT_EQ(ops.calls, (std::vector<Step>{Step::kCheckTarget, Step::kCreateTemp, Step::kWrite, Step::kWrite,
                                            Step::kFlush, Step::kClose, Step::kRename}));
    EXPECT_EQ(ops.write_sizes, (std::vector<std::size_t>{3, 2}));
    EXPECT_EQ(ReadNative(Native("a.txt")), "abcde");
}

TEST_F(FilesTest, AFailureAtAnyStepKeepsTheOldContentAndLeavesNoTemporaryFile) {
    const struct {
        Step step;
        std::size_t write;
        bool made_temp;
    } cases[] = {{Step::kCheckTarget, 1, false}, {Step::kCreateTemp, 1, false}, {Step::kWrite, 1, true},
                 {Step::kWrite, 2, true},        {Step::kFlush, 1, true},       {Step::kClose, 1, true},
                 {Step::kRename, 1, true}};
    const std::string old_content = "key=\xD1\xE2\r\n" + std::string(3000, 'o');
    for (const auto& c : cases) {
        for (const bool target_exists : {true, false}) {
            SCOPED_TRACE(testing::Message() << "step " << static_cast<int>(c.step) << " write " << c.write
                                            << (target_exists ? " over a file" : " new file"));
            std::filesystem::remove(Native("victim.txt"));
            if (target_exists) {
                WriteNative("victim.txt", old_content);
            }
            FaultyOps ops({c.step}, c.write);
            EXPECT_FALSE(WriteFileBytesWith(ops, dir_.File("victim.txt"), {std::string(4000, 'n'), "tail"}));
            EXPECT_EQ(EntryCount(dir_.native()), target_exists ? 1u : 0u) << "a temporary file was left behind";
            if (target_exists) {
                EXPECT_EQ(ReadNative(Native("victim.txt")), old_content);
            }
            EXPECT_EQ(std::count(ops.calls.begin(), ops.calls.end(), Step::kRemove), c.made_temp ? 1 : 0);
        }
    }
    // A clean-up that fails too still reports the failure.
    FaultyOps ops({Step::kRename, Step::kRemove});
    EXPECT_FALSE(WriteFileBytesWith(ops, dir_.File("victim.txt"), {"new"}));
}

TEST_F(FilesTest, ReadsOnlyRegularFilesAndTellsMissingFromUnreadable) {
    std::filesystem::create_directory(Native("folder"));
    WriteNative("empty.txt", "");
    for (const Text& path : {Text(), dir_.File("missing"), dir_.File("folder"), dir_.File("empty.txt")}) {
        EXPECT_TRUE(ReadFileBytes(path).empty()) << test::Show(path);
    }
    EXPECT_EQ(TryReadFileBytes(dir_.File("missing")), Bytes());
    EXPECT_EQ(TryReadFileBytes(dir_.File("empty.txt")), Bytes());
    EXPECT_EQ(TryReadFileBytes(dir_.File("folder")), std::nullopt);
    EXPECT_EQ(TryReadFileBytes(""), std::nullopt);
}

TEST_F(FilesTest, FileExistsMatchesFilesDirectoriesAndWildcards) {
    std::filesystem::create_directory(NativePath(dir_.File("運")));
    ASSERT_TRUE(WriteFileBytes(dir_.File("ab.txt"), {"x"}) && WriteFileBytes(dir_.File(kConfigName), {"x"}));
    const std::pair<Text, bool> cases[] = {
        {dir_.File("ab.txt"), true},
        {dir_.File(kConfigName), true},
        {dir_.File("運") + "\\", true},
        {dir_.File("*.txt"), true},
        {dir_.File("a?.txt"), true},
        {dir_.File("砚舟*"), true},
        {dir_.File("*.md"), false},
        {dir_.File("a?"), false},
        {dir_.File("missing"), false},
        {dir_.File("x\\ab.txt"), false},
        {"", false},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(FileExists(path), expected) << test::Show(path);
    }
}

TEST_F(FilesTest, OpenFileNeedsAFileAndExclusiveDeniesEveryOtherOpen) {
    std::filesystem::create_directory(Native("folder"));
    for (const FileSharing sharing : {FileSharing::kShared, FileSharing::kExclusive}) {
        EXPECT_EQ(OpenFile(dir_.File("missing"), sharing), 0);
        EXPECT_EQ(OpenFile(dir_.File("folder"), sharing), 0);
    }
    EXPECT_FALSE(FileExists(dir_.File("missing"))) << "an open created the file";

    ASSERT_TRUE(WriteFileBytes(dir_.File("shared"), {"x"}) && WriteFileBytes(dir_.File(kConfigName), {"x"}));
    const int first = OpenFile(dir_.File("shared"), FileSharing::kShared);
    EXPECT_GT(first, 0);
    EXPECT_GT(OpenFile(dir_.File("shared"), FileSharing::kShared), first);
    EXPECT_EQ(ReadFileBytes(dir_.File("shared")), BytesOf("x"));
    EXPECT_EQ(OpenFile(dir_.File("shared"), FileSharing::kExclusive), 0);

    EXPECT_GT(OpenFile(dir_.File(kConfigName), FileSharing::kExclusive), 0);
    EXPECT_EQ(OpenFile(dir_.File(kConfigName), FileSharing::kExclusive), 0);
    EXPECT_EQ(OpenFile(dir_.File(kConfigName), FileSharing::kShared), 0);
}

TEST_F(FilesTest, AttributesRoundTripMasked) {
    const Text path = dir_.File("a.txt");
    EXPECT_FALSE(SetFileAttributes(path, kAttributeHidden));
    EXPECT_EQ(GetFileAttributes(path), -1);
    ASSERT_TRUE(WriteFileBytes(path, {"x"}));
    const std::pair<std::uint32_t, std::int64_t> cases[] = {
        {0, 0},       {kAttributeReadOnly, 0x01}, {kAttributeHidden, 0x02}, {kAttributeSystem, 0x04}, {0x20, 0x20},
        {0x23, 0x23}, {0xFFFFFFFF, 0x27},         {0x10 | 0x80, 0},
    };
    for (const auto& [set, expected] : cases) {
        ASSERT_TRUE(SetFileAttributes(path, set)) << set;
        // Wine reports the archive bit on every file; Windows and Linux clear it.
        EXPECT_EQ(GetFileAttributes(path) & ~0x20, expected & ~0x20) << set;
        EXPECT_TRUE((expected & 0x20) == 0 || (GetFileAttributes(path) & 0x20) != 0) << set;
    }
    SetFileAttributes(path, 0);
}

TEST(ProgramDirectoryTest, AnOverrideWinsUntilCleared) {
    const Text real = ProgramDirectory();
    ASSERT_FALSE(real.empty());
    EXPECT_NE(real.back(), '\\');
    EXPECT_TRUE(FileExists(real));
    SetProgramDirectory("X:\\砚舟");
    EXPECT_EQ(ProgramDirectory(), "X:\\砚舟");
    SetProgramDirectory("");
    EXPECT_EQ(ProgramDirectory(), real);
}

}  // namespace
}  // namespace yz
