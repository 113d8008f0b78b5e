// The backend's pure rules: GBK byte budgets, rich text, shortcuts, hotkey flags, dialog filters
// and font sizes.

#include "runtime/win32/win32_balloon.h"
#include "runtime/win32/win32_dialogs.h"
#include "runtime/win32/win32_fonts.h"
#include "runtime/win32/win32_hotkeys.h"
#include "runtime/win32/win32_menus.h"
#include "runtime/win32/win32_text_limit.h"
#include "runtime/win32/win32_tray.h"

#include <gtest/gtest.h>

#include "runtime/wide_win32.h"

namespace yz {
namespace {

TEST(GbkBudget, CutsWideTextOnCharacterBoundaries) {
    const std::wstring text = WideFromGbk("中文ab");
    EXPECT_EQ(GbkByteLength(text), 6);
    EXPECT_EQ(CutToGbkBytes(text, 0), L"");
    EXPECT_EQ(CutToGbkBytes(text, 1), L"");
    EXPECT_EQ(CutToGbkBytes(text, 3), WideFromGbk("中"));
    EXPECT_EQ(CutToGbkBytes(text, 5), WideFromGbk("中文a"));
    EXPECT_EQ(CutToGbkBytes(text, 99), text);
}

TEST(GbkBudget, TrayTooltipKeepsSixtyTwoBytes) {
    Text chinese;
    for (int i = 0; i < 40; ++i) {
        chinese += "字";
    }
    EXPECT_EQ(TrayTooltip(chinese).size(), 31u);
    // One ASCII byte first: the 31st character would end at byte 63, so 30 fit.
    EXPECT_EQ(TrayTooltip("a" + chinese).size(), 31u);
    EXPECT_EQ(TrayTooltip("a" + chinese).substr(1), std::wstring(30, WideFromGbk("字")[0]));
    EXPECT_EQ(TrayTooltip("砚舟"), WideFromGbk("砚舟"));
}

TEST(RichText, ColourRunsAndLines) {
    const auto lines = ParseRichText("普通<font color=red>红色</font>后<FONT COLOR=\"Blue\">蓝</font>", kBlack);
    ASSERT_EQ(lines.size(), 1u);
    const RichLine expected = {{"普通", kBlack}, {"红色", kRed}, {"后", kBlack}, {"蓝", kBlue}};
    EXPECT_EQ(lines[0], expected);

    const auto broken = ParseRichText("a\r\nb<br>c\nd", kBlack);
    ASSERT_EQ(broken.size(), 4u);
    EXPECT_EQ(broken[3], (RichLine{{"d", kBlack}}));
}

TEST(RichText, UnknownTagsAreTextAndUnknownColoursNest) {
    EXPECT_EQ(ParseRichText("<b>x</b>", kBlack)[0], (RichLine{{"<b>x</b>", kBlack}}));
    const auto lines = ParseRichText("<font color=red>r<font color=zzz>z</font>r</font>k<font color=#102030>h", kBlack);
    const RichLine expected = {{"r", kRed}, {"z", kRed}, {"r", kRed}, {"k", kBlack}, {"h", 0x302010}};
    EXPECT_EQ(lines[0], expected);
    // An unmatched closing tag keeps the base colour.
    EXPECT_EQ(ParseRichText("</font>x", kBlue)[0], (RichLine{{"x", kBlue}}));
}

TEST(RichText, EscapedMarkupIsShownAsText) {
    const auto lines = ParseRichText("<font color=Blue>&lt;font color=red&gt;&amp;lt;&quot;&</font>", kBlack);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], (RichLine{{"<font color=red>&lt;&quot;&", kBlue}}));
}

// A balloon has a fixed maximum size whatever text it is given.
TEST(RichText, BalloonLinesWrapOnCharactersAndStopAfterTheLastLine) {
    const auto width_of = [](const Text& text) { return static_cast<int>(text.size()) * 6; };
    // 60 pixels hold ten bytes: the Chinese character that would end at byte 11 goes on.
    const std::vector<RichLine> lines = {{{"abcdefghi", kBlue}, {"中文", kRed}}, {{"ok", kBlack}}};
    const std::vector<RichLine> wrapped = FitRichLines(lines, 60, 6, width_of);
    ASSERT_EQ(wrapped.size(), 3u);
    EXPECT_EQ(wrapped[0], (RichLine{{"abcdefghi", kBlue}}));
    EXPECT_EQ(wrapped[1], (RichLine{{"中文", kRed}}));
    EXPECT_EQ(wrapped[2], (RichLine{{"ok", kBlack}}));

    const std::vector<RichLine> many(40, RichLine{{"x", kRed}});
    const std::vector<RichLine> cut = FitRichLines(many, 60, 6, width_of);
    ASSERT_EQ(cut.size(), 6u);
    EXPECT_EQ(cut[5], (RichLine{{"x", kRed}, {"…", kRed}}));
    const std::vector<RichLine> long_line = {{{Text(1000, 'y'), kBlack}}};
    EXPECT_EQ(FitRichLines(long_line, 60, 6, width_of).size(), 6u);
}

// The balloon stays on the monitor of the window it belongs to, a second one to the right too.
TEST(Balloons, PlacedInsideTheMonitorArea) {
    const RECT primary{0, 0, 1024, 768};
    EXPECT_EQ(PlaceBalloon(200, 200, 100, 50, primary), (BalloonPlacement{182, 200, true, 18}));
    EXPECT_EQ(PlaceBalloon(1020, 740, 100, 50, primary), (BalloonPlacement{924, 690, false, 94}));
    const RECT second{1024, -100, 2944, 980};
    EXPECT_EQ(PlaceBalloon(2900, 100, 100, 50, second), (BalloonPlacement{2844, 100, true, 56}));
    EXPECT_EQ(PlaceBalloon(1030, -300, 100, 50, second), (BalloonPlacement{1024, -100, true, 6}));
}

TEST(Shortcuts, ParseModifiersAndKeys) {
    const auto undo = ParseShortcut("Ctrl+Z");
    ASSERT_TRUE(undo);
    EXPECT_EQ(undo->fVirt, FVIRTKEY | FCONTROL);
    EXPECT_EQ(undo->key, 'Z');
    const auto save = ParseShortcut("ctrl + shift + s");
    ASSERT_TRUE(save);
    EXPECT_EQ(save->fVirt, FVIRTKEY | FCONTROL | FSHIFT);
    EXPECT_EQ(save->key, 'S');
    EXPECT_EQ(ParseShortcut("Del")->key, VK_DELETE);
    EXPECT_EQ(ParseShortcut("Alt+F4")->fVirt, FVIRTKEY | FALT);
    EXPECT_EQ(ParseShortcut("Alt+F4")->key, VK_F4);
    EXPECT_EQ(ParseShortcut("F12")->key, VK_F12);
    for (const char* bad : {"", "F25", "F0", "Ctrl+", "Hyper+X", "Ctrl+ZZ"}) {
        EXPECT_FALSE(ParseShortcut(bad)) << bad;
    }
}

TEST(HotKeys, ModifierNumbersBecomeFlags) {
    const UINT expected[] = {0,       MOD_CONTROL,           MOD_SHIFT,          MOD_CONTROL | MOD_SHIFT,
                             MOD_ALT, MOD_CONTROL | MOD_ALT, MOD_SHIFT | MOD_ALT};
    for (int modifier = 0; modifier <= 6; ++modifier) {
        EXPECT_EQ(HotKeyModifierFlags(modifier), expected[modifier]) << modifier;
    }
    EXPECT_EQ(HotKeyModifierFlags(9), 9u);
}

TEST(MessageBoxes, StyleAndAnswers) {
    EXPECT_EQ(MessageBoxStyle(MB_YESNO | MB_ICONQUESTION),
              static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL));
    EXPECT_EQ(MessageBoxStyle(MB_OK | MB_SYSTEMMODAL), static_cast<UINT>(MB_SYSTEMMODAL));
    const int answers[][2] = {{IDOK, 0},     {IDCANCEL, 1}, {IDABORT, 2}, {IDRETRY, 3},
                              {IDIGNORE, 4}, {IDYES, 5},    {IDNO, 6},    {0, 1}};
    for (const auto& answer : answers) {
        EXPECT_EQ(MessageBoxResult(answer[0]), answer[1]) << answer[0];
    }
}

TEST(FileDialogs, FilterPairs) {
    EXPECT_EQ(FileDialogFilter(""), L"");
    EXPECT_EQ(FileDialogFilter("*.txt"), std::wstring(L"*.txt\0*.txt\0\0", 13));
    EXPECT_EQ(FileDialogFilter("文本|*.txt|其它"), WideFromGbk("文本") + std::wstring(L"\0*.txt\0", 7) +
                                                       WideFromGbk("其它") + L'\0' + WideFromGbk("其它") +
                                                       std::wstring(2, L'\0'));
    // 亅 is 0x81 0x7C: its trail byte is '|' and must not split.
    EXPECT_EQ(FileDialogFilter("亅|*.k"), WideFromGbk("亅") + std::wstring(L"\0*.k\0\0", 6));
}

TEST(Fonts, PointsSurviveTheTripThroughPixels) {
    EXPECT_EQ(PixelsFromPoints(9), 12);
    EXPECT_EQ(PixelsFromPoints(18), 24);
    EXPECT_EQ(PointsFromPixels(24), 18);
    for (int points = 1; points <= 96; ++points) {
        EXPECT_EQ(PointsFromPixels(PixelsFromPoints(points)), points) << points;
    }
}

}  // namespace
}  // namespace yz
