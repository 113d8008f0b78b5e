#include <gtest/gtest.h>

#include "app/program_fixture.h"
#include "runtime/config_file.h"
#include "runtime/convert.h"
#include "runtime/files.h"
#include "runtime/headless/headless_keys.h"
#include "settings/config_keys.h"
#include "settings/transparency_mode.h"
#include "support/test_text.h"

namespace yz::test {
namespace {

using namespace ui;

class AppearanceTest : public ProgramTest {
  protected:
    void Hotkey(char letter) { ASSERT_TRUE(desktop_.PressGlobalKey(letter, vk::kAlt)); }
    bool Visible(const ControlRef& ref) const { return GetFlag(desktop_, ref, Property::kVisible); }
    Text Stored(const char* key) const { return ReadConfigItem(ConfigFilePath(), "功能配置", key, Text("<none>")); }
    std::int64_t Number(const ControlRef& ref, Property property) const { return GetNumber(desktop_, ref, property); }
    std::optional<int> BackdropAlpha() const { return desktop_.Layered(kBackdropWindow).alpha; }
};

TEST(TransparencyPercentageTest, FromTheSliderPosition) {
    EXPECT_EQ(TransparencyPercentage(60), 77);
    EXPECT_EQ(TransparencyPercentage(1), 100);
    EXPECT_EQ(TransparencyPercentage(128), 50);
    EXPECT_EQ(TransparencyPercentage(255), 0);
    EXPECT_EQ(TransparencyPercentage(300), -17);
    EXPECT_EQ(TransparencyPercentage(0), 100);
}

TEST_F(AppearanceTest, TheTransparencyModeOpensOnTheStoredAlphaAndStoresEveryPosition) {
    ASSERT_TRUE(Start());
    desktop_.SetProperty(主编框, Property::kText, Text("正文"));
    Hotkey('T');
    EXPECT_TRUE(Visible(透明滑条));
    EXPECT_FALSE(GetFlag(desktop_, 透明滑条, Property::kDisabled));
    EXPECT_EQ(Number(透明滑条, Property::kSliderPosition), 60);
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 当前[背景透明]度为:77 请移动滑条设置背景透明度");
    EXPECT_TRUE(GetFlag(desktop_, 主编框, Property::kDisabled));
    EXPECT_EQ(Number(主编框, Property::kInputMode), kInputMasked);
    EXPECT_TRUE(Visible(透明标签));
    EXPECT_EQ(GetText(desktop_, 透明标签, Property::kText), "");
    EXPECT_FALSE(Visible(设置标签));
    EXPECT_TRUE(Visible(返回超钮));
    EXPECT_EQ(desktop_.FocusedControl(), 透明滑条);

    for (const auto& [position, percentage] : {std::pair{1, "100"}, {60, "77"}, {128, "50"}, {255, "0"}}) {
        ASSERT_TRUE(desktop_.MoveSlider(透明滑条, position));
        EXPECT_EQ(BackdropAlpha(), position);
        EXPECT_EQ(StatusLine(), Text("砚舟文匣 v4.2 --霁川软件 您已设置[背景透明]度:") + percentage);
        EXPECT_EQ(Stored("透明背景"), ToText(position));
    }
    // Keys leave the mode open; the mouse released over the slider closes it.
    EXPECT_TRUE(Visible(透明滑条));
    ASSERT_TRUE(desktop_.LeftButtonUp(透明滑条));
    EXPECT_FALSE(Visible(透明滑条));
    EXPECT_FALSE(GetFlag(desktop_, 主编框, Property::kDisabled));
    EXPECT_EQ(Number(主编框, Property::kInputMode), kInputNormal);
    EXPECT_EQ(EditorText(), "正文");

    // The same command twice opens and closes the mode.
    Hotkey('T');
    EXPECT_EQ(Number(透明滑条, Property::kSliderPosition), 255);
    Hotkey('T');
    EXPECT_FALSE(Visible(透明滑条));
    EXPECT_TRUE(Visible(设置标签));
}

TEST_F(AppearanceTest, AStoredAlphaOutOfRangeShowsItsPercentageUntilTheThumbMoves) {
    WriteConfig("[功能配置]\r\n透明背景=300\r\n");
    ASSERT_TRUE(Start());
    desktop_.QueuePopupMenuPick(Text("背景透明 Alt+T"));
    ASSERT_TRUE(desktop_.LeftButtonDown(设置标签));
    EXPECT_EQ(Number(透明滑条, Property::kSliderPosition), 300);
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 当前[背景透明]度为:-17 请移动滑条设置背景透明度");
    ASSERT_TRUE(desktop_.MoveSlider(透明滑条, 254));
    EXPECT_EQ(Stored("透明背景"), "254");
}

TEST_F(AppearanceTest, AConfirmedFontGoesOntoTheEditorAndIntoTheFile) {
    ASSERT_TRUE(Start());
    desktop_.QueueFontDialogAnswer(std::nullopt);
    Hotkey('U');
    EXPECT_FALSE(FileExists(ConfigFilePath()));
    EXPECT_EQ(desktop_.dialogs().back().kind, kDialogFont);

    desktop_.QueueFontDialogAnswer(FontChoice{"黑体", 26, true, true, false, true, kRed});
    desktop_.QueuePopupMenuPick(Text("字体大小 Alt+U"));
    ASSERT_TRUE(desktop_.LeftButtonDown(设置标签));
    EXPECT_EQ(GetText(desktop_, 主编框, Property::kFontFace), "黑体");
    EXPECT_EQ(Number(主编框, Property::kFontSize), 26);
    EXPECT_TRUE(GetFlag(desktop_, 主编框, Property::kFontBold));
    EXPECT_TRUE(GetFlag(desktop_, 主编框, Property::kFontItalic));
    EXPECT_FALSE(GetFlag(desktop_, 主编框, Property::kFontStrikeOut));
    EXPECT_TRUE(GetFlag(desktop_, 主编框, Property::kFontUnderline));
    EXPECT_EQ(Number(主编框, Property::kTextColour), 0xFF0090) << "the dialog's colour is not used";
    EXPECT_EQ(Stored("字体名称"), "黑体");
    EXPECT_EQ(Stored("字体大小"), "26");
    EXPECT_EQ(Stored("字体加粗"), "真");
    EXPECT_EQ(Stored("字体倾斜"), "真");
    EXPECT_EQ(Stored("字体删线"), "假");
    EXPECT_EQ(Stored("字体下线"), "真");

    // A cancelled dialog leaves the file as it was.
    const Bytes before = ReadFileBytes(ConfigFilePath());
    desktop_.QueueFontDialogAnswer(std::nullopt);
    Hotkey('U');
    EXPECT_EQ(ReadFileBytes(ConfigFilePath()), before);
    EXPECT_EQ(GetText(desktop_, 主编框, Property::kFontFace), "黑体");
}

TEST_F(AppearanceTest, APickedColourGoesOntoTheEditorAndIntoTheFile) {
    ASSERT_TRUE(Start());
    desktop_.QueueColourPick(0x00FF00);
    Hotkey('Y');
    EXPECT_EQ(Number(主编框, Property::kTextColour), 0x00FF00);
    EXPECT_EQ(Stored("文本颜色"), "65280");
    // A palette closed without a choice changes nothing.
    desktop_.QueueColourPick(std::nullopt);
    desktop_.QueuePopupMenuPick(Text("字体颜色 Alt+Y"));
    ASSERT_TRUE(desktop_.LeftButtonDown(设置标签));
    EXPECT_EQ(Number(主编框, Property::kTextColour), 0x00FF00);
}

TEST_F(AppearanceTest, RestoreDefaultsWithAPanelOpenPutsTheDefaultLookOnScreenAndInTheFile) {
    WriteConfig(
        "[功能配置]\r\ncnhy=笔名\r\n字体名称=黑体\r\n字体大小=30\r\n字体加粗=真\r\n字体倾斜=真\r\n字体删线=真\r\n"
        "字体下线=真\r\n文本颜色=255\r\n透明背景=200\r\nwikyxqq=5\r\n");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(desktop_.PressGlobalKey('Q', vk::kAlt));
    Hotkey('I');
    EXPECT_TRUE(Visible(加按钮)) << "the panel stays open";
    EXPECT_EQ(GetText(desktop_, 主编框, Property::kFontFace), "宋体");
    EXPECT_EQ(Number(主编框, Property::kFontSize), 18);
    EXPECT_EQ(Number(主编框, Property::kTextColour), 0xFF0090);
    for (const Property style :
         {Property::kFontBold, Property::kFontItalic, Property::kFontStrikeOut, Property::kFontUnderline}) {
        EXPECT_FALSE(GetFlag(desktop_, 主编框, style));
    }
    EXPECT_EQ(Number(段落列表, Property::kTextColour), kRed);
    EXPECT_EQ(Number(透明滑条, Property::kSliderPosition), 60);
    EXPECT_EQ(BackdropAlpha(), 60);
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 已经为您还原各项设置为初始值.[背景透明]度为:77  ");
    EXPECT_EQ(Stored("字体名称"), "宋体");
    EXPECT_EQ(Stored("字体大小"), "18");
    EXPECT_EQ(Stored("文本颜色"), "16711824");
    EXPECT_EQ(Stored("字体加粗"), "假");
    EXPECT_EQ(Stored("字体倾斜"), "假");
    EXPECT_EQ(Stored("字体删线"), "假");
    EXPECT_EQ(Stored("字体下线"), "假");
    EXPECT_EQ(Stored("透明背景"), "60");
    EXPECT_EQ(Stored("cnhy"), "笔名");
    EXPECT_EQ(Stored("wikyxqq"), "5");

    // What the screen shows now is what the next start shows.
    program_.reset();
    HeadlessDesktop next;
    Deployment second = deployment_;
    second.lock_file_path = dir_.File("lock2");
    Program again(next, second);
    ASSERT_TRUE(again.Start());
    EXPECT_FALSE(GetFlag(next, 主编框, Property::kFontBold));
    EXPECT_EQ(GetText(next, 主编框, Property::kFontFace), "宋体");
    EXPECT_EQ(next.Layered(kBackdropWindow).alpha, 60);
}

TEST_F(AppearanceTest, HoveringATopLineLabelFlashesItRedFor600ms) {
    ASSERT_TRUE(Start());
    const int left = static_cast<int>(Number(主窗, Property::kLeft));
    const int top = static_cast<int>(Number(主窗, Property::kTop));
    desktop_.SetCursor(left + 70, top + 10);
    desktop_.SetProperty(编辑标签, Property::kTextColour, std::int64_t{kRed});
    std::int64_t start = desktop_.now_ms();
    ASSERT_TRUE(desktop_.MouseMove(编辑标签, 1, 1));
    EXPECT_EQ(desktop_.now_ms() - start, 600);
    EXPECT_EQ(Number(编辑标签, Property::kTextColour), kBlue);

    // Outside its band nothing happens.
    desktop_.SetProperty(编辑标签, Property::kTextColour, std::int64_t{kRed});
    desktop_.SetCursor(left + 113, top + 10);
    start = desktop_.now_ms();
    ASSERT_TRUE(desktop_.MouseMove(编辑标签, 1, 1));
    EXPECT_EQ(desktop_.now_ms(), start);
    EXPECT_EQ(Number(编辑标签, Property::kTextColour), kRed);

    // The operation label and the close label have open-ended bands; the first flashes at once.
    desktop_.SetCursor(left + 10, top + 10);
    desktop_.SetProperty(操作标签, Property::kTextColour, std::int64_t{kRed});
    ASSERT_TRUE(desktop_.MouseMove(操作标签, 1, 1));
    EXPECT_EQ(desktop_.now_ms(), start);
    EXPECT_EQ(Number(操作标签, Property::kTextColour), kBlue);
    desktop_.SetCursor(left + 450, top + 5);
    ASSERT_TRUE(desktop_.MouseMove(关闭标签, 1, 1));
    EXPECT_EQ(desktop_.now_ms() - start, 600);
}

// A configuration file that cannot be written: each change still shows, and the writer is told it
// will not survive a restart instead of being shown a success.
TEST_F(AppearanceTest, ConfigurationWriteFailuresAreToldAndTheChangeStaysOnScreen) {
    const Text content = "[功能配置]\r\n透明背景=200\r\n";
    WriteConfig(content);
    ASSERT_TRUE(SetFileAttributes(ConfigFilePath(), kAttributeReadOnly));
    ASSERT_TRUE(Start());
    const auto expect_told = [&](const char* what) {
        EXPECT_EQ(LastMessageBox().caption, "提示：") << what;
        EXPECT_NE(LastMessageBox().text.find(ConfigFilePath()), Text::npos) << what;
    };

    desktop_.QueueFontDialogAnswer(FontChoice{"黑体", 26, true, false, false, false, kRed});
    desktop_.QueueMessageBoxAnswer(kResultOk);
    Hotkey('U');
    EXPECT_EQ(GetText(desktop_, 主编框, Property::kFontFace), "黑体");
    expect_told("font");

    desktop_.QueueColourPick(0x00FF00);
    desktop_.QueueMessageBoxAnswer(kResultOk);
    Hotkey('Y');
    EXPECT_EQ(Number(主编框, Property::kTextColour), 0x00FF00);
    expect_told("colour");

    Hotkey('T');
    ASSERT_TRUE(desktop_.MoveSlider(透明滑条, 128));
    EXPECT_EQ(BackdropAlpha(), 128);
    EXPECT_EQ(StatusLine(), "砚舟文匣 v4.2 --霁川软件 [背景透明]度:50 无法写入配置文件,下次启动不会保留");

    const std::size_t boxes = desktop_.message_boxes().size();
    desktop_.QueueMessageBoxAnswer(kResultOk);
    Hotkey('I');
    EXPECT_EQ(desktop_.message_boxes().size(), boxes + 1);
    expect_told("restore");
    EXPECT_EQ(GetText(desktop_, 主编框, Property::kFontFace), "宋体");
    EXPECT_EQ(StatusLine().find("已经为您还原"), Text::npos) << Show(StatusLine());
    EXPECT_EQ(ToText(ReadFileBytes(ConfigFilePath())), content);
}

}  // namespace
}  // namespace yz::test
