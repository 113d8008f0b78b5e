#include <gtest/gtest.h>

#include <iterator>

#include "app/hotkeys.h"
#include "app/program_fixture.h"
#include "runtime/files.h"
#include "support/test_text.h"

namespace yz::test {
namespace {

using namespace ui;

using StartupTest = ProgramTest;

std::int64_t Number(const HeadlessDesktop& desktop, const ControlRef& ref, Property property) {
    return GetNumber(desktop, ref, property);
}

TEST_F(StartupTest, BuildsBothWindowsWithTitlesStatusAndLook) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(GetText(desktop_, 主窗, Property::kTitle), "砚舟文匣  --霁川软件");
    EXPECT_EQ(GetText(desktop_, 底窗, Property::kTitle), " --霁川软件");
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件") << Show(StatusLine());
    EXPECT_EQ(program_->values().version_text, "4.2");

    const LayeredState main = desktop_.Layered(kMainWindow);
    EXPECT_TRUE(main.layered);
    EXPECT_EQ(main.colour_key, kWhite);
    EXPECT_EQ(desktop_.Layered(kBackdropWindow).alpha, 60);

    // The backdrop lies under the main window, 17 pixels lower.
    EXPECT_EQ(Number(desktop_, 底窗, Property::kLeft), Number(desktop_, 主窗, Property::kLeft));
    EXPECT_EQ(Number(desktop_, 底窗, Property::kTop), Number(desktop_, 主窗, Property::kTop) + 17);
    EXPECT_TRUE(desktop_.MoveWindowByUser(kMainWindow, 40, 30));
    EXPECT_EQ(Number(desktop_, 底窗, Property::kLeft), 40);
    EXPECT_EQ(Number(desktop_, 底窗, Property::kTop), 47);

    // The stored look, here the defaults, on a white (see-through) editor.
    EXPECT_EQ(Number(desktop_, 主编框, Property::kTextColour), 0xFF0090);
    EXPECT_EQ(GetText(desktop_, 主编框, Property::kFontFace), "宋体");
    EXPECT_EQ(Number(desktop_, 主编框, Property::kFontSize), 18);
    EXPECT_FALSE(GetFlag(desktop_, 主编框, Property::kFontBold));
    EXPECT_FALSE(GetFlag(desktop_, 主编框, Property::kFontItalic));
    EXPECT_EQ(Number(desktop_, 主编框, Property::kBackColour), kWhite);
    EXPECT_EQ(Number(desktop_, 段落列表, Property::kBackColour), kWhite);
    EXPECT_EQ(desktop_.FocusedControl(), 主编框);
}

TEST_F(StartupTest, StoredLookIsApplied) {
    WriteConfig("[功能配置]\r\n文本颜色=255\r\n字体名称=楷体\r\n字体大小=22\r\n字体加粗=真\r\n字体倾斜=true\r\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(Number(desktop_, 主编框, Property::kTextColour), 255);
    EXPECT_EQ(GetText(desktop_, 主编框, Property::kFontFace), "楷体");
    EXPECT_EQ(Number(desktop_, 主编框, Property::kFontSize), 22);
    EXPECT_TRUE(GetFlag(desktop_, 主编框, Property::kFontBold));
    EXPECT_FALSE(GetFlag(desktop_, 主编框, Property::kFontItalic));  // only "真" is true
}

TEST_F(StartupTest, BackdropAlphaFromTheConfigurationFile) {
    const std::pair<const char*, int> cases[] = {{nullptr, 60}, {"300", 255}, {"-5", 255}, {"abc", 0}, {"128", 128}};
    for (const auto& [stored, alpha] : cases) {
        HeadlessDesktop desktop;
        const TempDir dir;
        SetProgramDirectory(dir.path());
        if (stored != nullptr) {
            ASSERT_TRUE(WriteFileBytes(dir.File("砚舟文匣配置文件"), {Text("[功能配置]\r\n透明背景=") + stored}));
        }
        Deployment deployment = deployment_;
        deployment.lock_file_path = dir.File("lock");
        Program program(desktop, deployment);
        ASSERT_TRUE(program.Start());
        EXPECT_EQ(desktop.Layered(kBackdropWindow).alpha, alpha) << (stored ? stored : "missing");
    }
    SetProgramDirectory(dir_.path());
}

TEST_F(StartupTest, LayoutKeepsTheLowerPartInsideTheWindow) {
    ASSERT_TRUE(Start());
    const auto rect = [&](const ControlRef& ref) {
        return Rect{static_cast<int>(Number(desktop_, ref, Property::kLeft)),
                    static_cast<int>(Number(desktop_, ref, Property::kTop)),
                    static_cast<int>(Number(desktop_, ref, Property::kWidth)),
                    static_cast<int>(Number(desktop_, ref, Property::kHeight))};
    };
    EXPECT_EQ(rect(主编框), (Rect{2, 36, 455, 502}));
    EXPECT_EQ(rect(标题标签), (Rect{0, 0, 456, 18}));
    EXPECT_EQ(rect(操作标签), (Rect{5, 19, 50, 16}));
    EXPECT_EQ(rect(关闭标签), (Rect{443, 19, 16, 16}));
    EXPECT_EQ(rect(播报标签), (Rect{0, 539, 455, 18}));
    EXPECT_EQ(rect(作者列表), (Rect{0, 556, 462, 35}));
    EXPECT_EQ(rect(关作标签).left, 465);
    EXPECT_EQ(rect(发言框), (Rect{5, 400, 434, 100}));
    EXPECT_EQ(rect(加M文件名).left, 120);
    EXPECT_EQ(rect(强制解析).left, 320);

    // Wherever the window stands on the screen, the ticker and the list stay inside it.
    for (const int top : {0, 61, 300}) {
        ASSERT_TRUE(desktop_.MoveWindowByUser(kMainWindow, 10, top));
        ASSERT_TRUE(desktop_.ResizeWindowByUser(kMainWindow, 500, 645));
        const Rect list = rect(作者列表);
        EXPECT_LE(list.top + list.height, 645) << "window top " << top;
        EXPECT_LT(rect(主编框).top + rect(主编框).height, rect(播报标签).top + 1);
    }
}

TEST_F(StartupTest, AuthorListToggle) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(desktop_.LeftButtonDown(关作标签));
    EXPECT_EQ(GetText(desktop_, 关作标签, Property::kText), "◎");
    EXPECT_FALSE(GetFlag(desktop_, 作者列表, Property::kVisible));
    EXPECT_TRUE(GetFlag(desktop_, 作者列表, Property::kDisabled));
    ASSERT_TRUE(desktop_.LeftButtonDown(关作标签));
    EXPECT_EQ(GetText(desktop_, 关作标签, Property::kText), "⊙");
    EXPECT_TRUE(GetFlag(desktop_, 作者列表, Property::kVisible));
    EXPECT_FALSE(GetFlag(desktop_, 作者列表, Property::kDisabled));
}

TEST_F(StartupTest, TabPagesShowOnlyTheirOwnControls) {
    ASSERT_TRUE(Start());
    // The console is hidden: its controls stay hidden whatever their own flags say.
    EXPECT_TRUE(GetFlag(desktop_, 客服编框, Property::kVisible));
    EXPECT_FALSE(desktop_.IsEffectivelyVisible(客服编框));
    desktop_.SetProperty(管理选夹, Property::kVisible, true);
    desktop_.SetProperty(管理选夹, Property::kDisabled, false);
    EXPECT_TRUE(desktop_.IsEffectivelyVisible(客服编框));
    EXPECT_TRUE(desktop_.IsEffectivelyVisible(用户超表框));
    EXPECT_FALSE(desktop_.IsEffectivelyVisible(密令编框));
    ASSERT_TRUE(desktop_.SelectTabPage(管理选夹, 1));
    EXPECT_TRUE(desktop_.IsEffectivelyVisible(密令编框));
    EXPECT_FALSE(desktop_.IsEffectivelyVisible(客服编框));
    EXPECT_FALSE(desktop_.IsEffectivelyVisible(按钮1));
}

TEST_F(StartupTest, FourteenHotkeysInTableOrder) {
    desktop_.ClaimHotKeyElsewhere(vk::kAlt, 'S');
    ASSERT_TRUE(Start());
    const HotkeyIdentifiers& ids = program_->values().hotkey_identifiers;
    for (std::size_t slot = 0; slot < kHotkeyCount; ++slot) {
        // The failed Alt+S (slot 4) used up its identifier 33004.
        const int expected = slot == 3 ? 0 : 33001 + static_cast<int>(slot);
        EXPECT_EQ(ids[slot], expected) << "slot " << slot;
    }
    ASSERT_EQ(desktop_.hot_keys().size(), 13u);
    EXPECT_FALSE(desktop_.PressGlobalKey('S', vk::kAlt));

    // Del reaches the clear-text question from anywhere.
    desktop_.QueueMessageBoxAnswer(kResultNo);
    EXPECT_TRUE(desktop_.PressGlobalKey(46));
    EXPECT_EQ(LastMessageBox().caption, "清空文本提醒:");
}

class LockTest : public ProgramTest {};

TEST_F(LockTest, FirstStartCreatesTheOneByteLockFile) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(ReadFileBytes(deployment_.lock_file_path), (Bytes{0x00}));
    // Held exclusively: a second open fails while this copy runs.
    EXPECT_EQ(OpenFile(deployment_.lock_file_path, FileSharing::kExclusive), 0);
}

// What a write killed half-way leaves beside the program goes once this copy holds the lock, and
// only that: a copy that cannot tell whether another one is writing removes nothing.
const char* const kStaleTemporaryFiles[] = {"砚舟文匣自动存档.tmp-1f2e3d4c5b6a7980", "稿.kkjx.tmp-a"};
const char* const kOtherFiles[] = {"稿.tmp-xyz", "稿.tmp-", ".tmp-12", "稿.tmp-12345678901234567", "稿.TMP-12"};

void WriteFiles(const TempDir& dir, const char* const* names, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_TRUE(WriteFileBytes(dir.File(names[i]), {"x"}));
    }
}

TEST_F(LockTest, HeldLockRefusesTheSecondCopy) {
    WriteFiles(dir_, kStaleTemporaryFiles, std::size(kStaleTemporaryFiles));
    ASSERT_TRUE(WriteFileBytes(deployment_.lock_file_path, {Bytes{0x00}}));
    ASSERT_NE(OpenFile(deployment_.lock_file_path, FileSharing::kExclusive), 0);
    desktop_.QueueMessageBoxAnswer(kResultOk);
    EXPECT_FALSE(Start());
    EXPECT_EQ(LastMessageBox().text, "该程序已经在运行");
    EXPECT_EQ(LastMessageBox().caption, "信息：");
    EXPECT_TRUE(desktop_.ended());
    EXPECT_EQ(desktop_.exit_code(), 0);
    EXPECT_TRUE(desktop_.hot_keys().empty());
    EXPECT_FALSE(desktop_.Exists(主窗));
    EXPECT_TRUE(FileExists(dir_.File(kStaleTemporaryFiles[0])));
}

TEST_F(LockTest, StaleLockFileIsTakenOverAndStaleTemporaryFilesRemoved) {
    WriteFiles(dir_, kStaleTemporaryFiles, std::size(kStaleTemporaryFiles));
    WriteFiles(dir_, kOtherFiles, std::size(kOtherFiles));
    ASSERT_TRUE(WriteFileBytes(deployment_.lock_file_path, {Bytes{0x00}}));
    EXPECT_TRUE(Start());
    EXPECT_FALSE(desktop_.ended());
    for (const char* name : kStaleTemporaryFiles) {
        EXPECT_FALSE(FileExists(dir_.File(name))) << Show(name);
    }
    for (const char* name : kOtherFiles) {
        EXPECT_TRUE(FileExists(dir_.File(name))) << Show(name);
    }
}

TEST_F(LockTest, UnopenableLockFileRefusesToo) {
    // A directory stands where the lock file should be: it exists but cannot be opened.
    deployment_.lock_file_path = dir_.path();
    desktop_.QueueMessageBoxAnswer(kResultOk);
    EXPECT_FALSE(Start());
    EXPECT_EQ(LastMessageBox().text, "该程序已经在运行");
}

TEST_F(LockTest, UncreatableLockFileRunsWithoutALock) {
    WriteFiles(dir_, kStaleTemporaryFiles, std::size(kStaleTemporaryFiles));
    deployment_.lock_file_path = dir_.File("missing\\lock");
    EXPECT_TRUE(Start());
    EXPECT_TRUE(FileExists(dir_.File(kStaleTemporaryFiles[0])));
    EXPECT_FALSE(desktop_.ended());
    EXPECT_EQ(desktop_.hot_keys().size(), 14u);
}

}  // namespace
}  // namespace yz::test
