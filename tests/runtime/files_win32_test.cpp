// Windows-only behaviour of the file and configuration services: UTF-16 names through code page
// 936, attributes kept on replace, readers that deny writers.

#include <windows.h>
// <windows.h> maps these names to their W forms; ours are the functions of files.h.
#undef SetFileAttributes
#undef GetFileAttributes

#include <gtest/gtest.h>

#include "runtime/config_file.h"
#include "runtime/files.h"
#include "support/temp_dir.h"
#include "support/test_text.h"

namespace yz {
namespace {

TEST(FilesWin32Test, NativePathConvertsThroughCodePage936) {
    const std::pair<Text, std::wstring> cases[] = {
        {"C:\\a.txt", L"C:\\a.txt"},
        {"C:\\運\\乗", L"C:\\\u904B\\\u4E57"},
        {"砚舟文匣配置文件", L"\u781A\u821F\u6587\u5323\u914D\u7F6E\u6587\u4EF6"},
        {"", L""},
    };
    for (const auto& [gbk, native] : cases) {
        EXPECT_EQ(NativePath(gbk).wstring(), native) << test::Show(gbk);
    }
}

TEST(FilesWin32Test, ReplacingKeepsHiddenAndSystemBits) {
    test::TempDir dir;
    const Text file = dir.File("hidden.txt");
    ASSERT_TRUE(WriteFileBytes(file, {"one"}));
    ASSERT_TRUE(SetFileAttributes(file, kAttributeHidden | kAttributeSystem));
    ASSERT_TRUE(WriteFileBytes(file, {"two"}));
    EXPECT_EQ(GetFileAttributes(file) & 0x06, 0x06);
    SetFileAttributes(file, 0);
}

// A read denies writers, so it fails while another program writes the file; a configuration
// write, which then cannot read the old content, must not rebuild the file from nothing.
TEST(FilesWin32Test, AWriterStopsReadsAndConfigurationWrites) {
    test::TempDir dir;
    const Text file = dir.File("config.ini");
    ASSERT_TRUE(WriteFileBytes(file, {"[s]\r\nkeep=1\r\n"}));
    const HANDLE holder =
        CreateFileW(NativePath(file).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(TryReadFileBytes(file), std::nullopt);
    EXPECT_FALSE(WriteConfigItem(file, "s", "k", "v"));
    CloseHandle(holder);
    EXPECT_EQ(ReadFileBytes(file), BytesOf("[s]\r\nkeep=1\r\n"));
}

}  // namespace
}  // namespace yz
