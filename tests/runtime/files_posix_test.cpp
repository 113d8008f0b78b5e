// Linux-only behaviour of the file services: UTF-8 names, permission bits, the attribute text
// Wine shares, advisory locks.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime/files.h"
#include "runtime/system.h"
#include "runtime/system_identification.h"
#include "support/temp_dir.h"
#include "support/test_text.h"

namespace yz {
namespace {

mode_t ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

TEST(FilesPosixTest, NativePathConvertsBeforeSplittingOnBackslashes) {
    const std::pair<Text, std::string> cases[] = {
        {"\\tmp\\a.txt", "/tmp/a.txt"},
        {"\\tmp\\運", "/tmp/\xE9\x81\x8B"},  // DF 5C: the trail byte is no separator
        {"rel\\乗\\x", "rel/\xE4\xB9\x97/x"},
        {"", ""},
    };
    for (const auto& [gbk, native] : cases) {
        EXPECT_EQ(NativePath(gbk).string(), native) << test::Show(gbk);
    }
}

TEST(FilesPosixTest, ReplacingKeepsTheModeAndReadOnlyMeansNoWriteBitEvenForRoot) {
    test::TempDir dir;
    const Text file = dir.File("a.txt");
    const std::filesystem::path native = dir.native() / "a.txt";
    ASSERT_TRUE(WriteFileBytes(file, {"one"}));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(ModeOf(native), 0666 & ~mask) << "a new file follows the umask";

    for (const mode_t mode : {0640, 0442}) {  // one write bit for anyone is writable
        ASSERT_EQ(::chmod(native.c_str(), mode), 0);
        ASSERT_TRUE(WriteFileBytes(file, {"two"}));
        EXPECT_EQ(ModeOf(native), mode);
    }
    ASSERT_EQ(::chmod(native.c_str(), 0444), 0);
    EXPECT_FALSE(WriteFileBytes(file, {"three"}));
    EXPECT_EQ(ReadFileBytes(file), BytesOf("two"));
}

TEST(FilesPosixTest, AttributesUseWriteBitsAndTheWineAttributeText) {
    test::TempDir dir;
    const Text file = dir.File("a.txt");
    const std::filesystem::path native = dir.native() / "a.txt";
    ASSERT_TRUE(WriteFileBytes(file, {"x"}));
    EXPECT_EQ(GetFileAttributes(file), kAttributeArchive) << "a file never given attributes, as on Windows";

    ASSERT_TRUE(SetFileAttributes(file, kAttributeHidden | kAttributeArchive));
    char stored[32] = {};
    ASSERT_EQ(::getxattr(native.c_str(), "user.DOSATTRIB", stored, sizeof stored - 1), 4);
    EXPECT_STREQ(stored, "0x22");
    ASSERT_TRUE(SetFileAttributes(file, 0));
    EXPECT_EQ(GetFileAttributes(file), 0);

    ASSERT_EQ(::chmod(native.c_str(), 0664), 0);
    ASSERT_TRUE(SetFileAttributes(file, kAttributeReadOnly | kAttributeSystem));
    EXPECT_EQ(ModeOf(native), 0444u);
    ASSERT_TRUE(SetFileAttributes(file, 0));
    EXPECT_EQ(ModeOf(native), 0644u) << "clearing read-only gives the owner write back";

    ASSERT_EQ(::setxattr(native.c_str(), "user.DOSATTRIB", "0x6", 3, 0), 0);  // as Wine writes it
    EXPECT_EQ(GetFileAttributes(file), kAttributeHidden | kAttributeSystem);
}

TEST(FilesPosixTest, ExclusiveOpenHoldsALockOtherProgramsSee) {
    test::TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("locked"), {"x"}));
    ASSERT_GT(OpenFile(dir.File("locked"), FileSharing::kExclusive), 0);
    const int fd = ::open((dir.native() / "locked").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_NE(::flock(fd, LOCK_SH | LOCK_NB), 0);
    ::close(fd);
}

// The number is FNV-1a of the first disk's serial (blanks trimmed), in device name order, devices
// without one passed over; without any serial, of the first udev disk name; 0 without either. A
// changed number makes every .kkjx file written before it refuse to open.
TEST(FilesPosixTest, DiskFeatureNumberComesFromTheFirstDiskThatNamesItself) {
    test::TempDir dir;
    const std::filesystem::path block = dir.native() / "block";
    const std::filesystem::path ids = dir.native() / "by-id";
    const auto write = [](const std::filesystem::path& file, const char* content) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    };
    EXPECT_EQ(DiskFeatureNumberFrom(block, ids), 0);
    write(ids / "ata-B", "");
    write(ids / "ata-A", "");
    EXPECT_EQ(DiskFeatureNumberFrom(block, ids), -691493463);
    std::filesystem::create_directories(block / "loop0");
    write(block / "sdb" / "device" / "serial", "ZZZ");
    write(block / "sda" / "device" / "serial", "  WD-123 \n");
    EXPECT_EQ(DiskFeatureNumberFrom(block, ids), -108450545);
}

}  // namespace
}  // namespace yz
