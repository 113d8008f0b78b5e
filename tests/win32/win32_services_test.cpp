// The desktop services around the windows: hotkeys, layered windows, the tray icon, message
// boxes, timers, menus and shortcuts, the colour palette, balloons, lists and pictures.

#include "win32/win32_test_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <vector>

#include "runtime/fatal_error.h"
#include "runtime/win32/win32_balloon.h"
#include "runtime/win32/win32_pictures.h"

namespace yz::testing {
namespace {

WindowTemplate PopupWindow() {
    WindowTemplate window;
    window.name = kWindow;
    window.rect = {50, 50, 200, 100};
    window.controls.push_back(Control("接收", ControlKind::kLabel, {0, 0, 50, 20}));
    return window;
}

// Answers the common dialog that is open by then, from a thread timer its own loop dispatches.
UINT g_dialog_answer = IDCANCEL;
void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    if (HWND dialog = FindWindowW(L"#32770", nullptr)) {
        KillTimer(nullptr, timer);
        PostMessageW(dialog, WM_COMMAND, g_dialog_answer, 0);
    }
}

void AnswerNextDialog(UINT answer) {
    g_dialog_answer = answer;
    SetTimer(nullptr, 0, 100, AnswerDialog);
}

bool RunAnswered(Win32Desktop& desktop, const ControlRef& dialog, UINT answer) {
    AnswerNextDialog(answer);
    return desktop.ShowFileDialog(dialog);
}

TEST_F(DesktopTest, HotKeyIdentifiersCountEveryRegistrationFailedOrNot) {
    Load(PopupWindow());
    const ControlRef receiver{kWindow, "接收"};
    EXPECT_EQ(desktop_->RegisterGlobalHotKey(kWindow, receiver, 3, VK_F7), 33001);
    EXPECT_EQ(desktop_->RegisterGlobalHotKey(kWindow, receiver, 3, VK_F7), 0);  // taken: uses up 33002
    EXPECT_EQ(desktop_->RegisterGlobalHotKey(kWindow, receiver, 6, VK_F8), 33003);
    EXPECT_EQ(desktop_->RegisterGlobalHotKey("没有", receiver, 1, VK_F9), 0);
}

TEST_F(DesktopTest, HotKeyReachesTheReceiverAndTheWindowStillWorks) {
    Load(PopupWindow());
    Record("接收", EventKind::kNotification);
    Record({}, EventKind::kQueryClose, false);
    const int id = desktop_->RegisterGlobalHotKey(kWindow, {kWindow, "接收"}, 5, VK_F6);
    ASSERT_EQ(id, 33001);
    PostMessageW(Hwnd(), WM_HOTKEY, 33001, 0);
    PostMessageW(Hwnd(), WM_HOTKEY, 33002, 0);  // never handed out
    PostMessageW(Hwnd(), WM_HOTKEY, 5, 0);
    desktop_->DelayWithEvents(80);
    ASSERT_EQ(Count(EventKind::kNotification), 1);
    EXPECT_EQ(events_[0].a, 33001);
    EXPECT_EQ(events_[0].b, 0);
    SendMessageW(Hwnd(), WM_CLOSE, 0, 0);  // the wrapped procedure still gets its messages
    EXPECT_EQ(Count(EventKind::kQueryClose), 1);
}

TEST_F(DesktopTest, WindowAlphaReplacesTheExtendedStyle) {
    Load(PopupWindow());
    SetWindowLongW(Hwnd(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    desktop_->SetWindowAlpha(kWindow, 128);
    EXPECT_EQ(GetWindowLongW(Hwnd(), GWL_EXSTYLE), WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(Hwnd(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    desktop_->SetWindowAlpha(kWindow, 300);
    GetLayeredWindowAttributes(Hwnd(), nullptr, &alpha, &flags);
    EXPECT_EQ(alpha, 255);
}

TEST_F(DesktopTest, ColourKeyAddsLayeredToTheExtendedStyle) {
    Load(PopupWindow());
    SetWindowLongW(Hwnd(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    desktop_->SetColourKey(kWindow, kRed);
    EXPECT_EQ(GetWindowLongW(Hwnd(), GWL_EXSTYLE), WS_EX_TOOLWINDOW | WS_EX_LAYERED);
    COLORREF key = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(Hwnd(), &key, nullptr, &flags));
    EXPECT_EQ(key, static_cast<COLORREF>(kRed));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
}

// What a control is painted on, as its parent answers the control's colour message.
COLORREF PaintedBackground(HWND parent, HWND control, UINT message) {
    HDC dc = GetDC(control);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    const COLORREF background = GetBkColor(dc);
    ReleaseDC(control, dc);
    LOGBRUSH fill{};
    EXPECT_TRUE(GetObjectW(brush, sizeof(fill), &fill));
    EXPECT_EQ(fill.lbColor, background);
    return background;
}

TEST_F(DesktopTest, BoxesLeftInTheSystemWhiteStayOffAWhiteColourKey) {
    WindowTemplate window = TestWindow();
    window.background.reset();
    window.controls[1].back_colour = kWhite;  // "备注" chose white itself, to be see-through
    Load(window);
    const COLORREF white = kWhite;
    EXPECT_EQ(PaintedBackground(Hwnd(), Hwnd("编辑框"), WM_CTLCOLOREDIT), GetSysColor(COLOR_WINDOW));

    desktop_->SetColourKey(kWindow, kWhite);
    const COLORREF box = PaintedBackground(Hwnd(), Hwnd("编辑框"), WM_CTLCOLOREDIT);
    EXPECT_NE(box, white);
    EXPECT_LE(GetRValue(white) - GetRValue(box) + GetGValue(white) - GetGValue(box) + GetBValue(white) - GetBValue(box),
              1);
    EXPECT_NE(PaintedBackground(Hwnd(), Hwnd("列表框"), WM_CTLCOLORLISTBOX), white);
    EXPECT_EQ(PaintedBackground(Hwnd(), Hwnd("备注"), WM_CTLCOLOREDIT), white);
}

TEST_F(DesktopTest, TrayIconFollowsThePicture) {
    Load(PopupWindow());
    desktop_->SetTrayIcon(kWindow, Text("TEST_PICTURE"), "砚舟文匣");
    EXPECT_TRUE(desktop_->HasTrayIcon(kWindow));
    desktop_->SetTrayIcon(kWindow, Text("TEST_PICTURE"), "另一个提示");
    EXPECT_TRUE(desktop_->HasTrayIcon(kWindow));
    desktop_->SetTrayIcon(kWindow, Text("NOT_A_PICTURE"), "坏图");
    EXPECT_FALSE(desktop_->HasTrayIcon(kWindow));

    // A picture can be a file as well.
    wchar_t directory[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, directory);
    const std::wstring path = std::wstring(directory) + L"yz_tray_picture.png";
    const auto bytes = PictureResourceBytes("TEST_PICTURE");
    ASSERT_TRUE(bytes);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &written, nullptr);
    CloseHandle(file);
    desktop_->SetTrayIcon(kWindow, GbkFromWide(path), "文件图");
    DeleteFileW(path.c_str());
    EXPECT_TRUE(desktop_->HasTrayIcon(kWindow));
    desktop_->SetTrayIcon(kWindow, std::nullopt, "");
    EXPECT_FALSE(desktop_->HasTrayIcon(kWindow));

    // Closing the window takes its icon away: the shell no longer knows it.
    desktop_->SetTrayIcon(kWindow, Text("TEST_PICTURE"), "再来");
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = Hwnd();
    data.uID = kTrayIconId;
    desktop_->CloseWindow(kWindow, true);
    EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &data));
}

TEST_F(DesktopTest, MessageBoxAddsTaskModalAndMapsTheAnswer) {
    std::wstring text;
    std::wstring caption;
    UINT style = 0;
    int answer = IDYES;
    desktop_->ReplaceMessageBoxForTesting(
        [&](const std::wstring& box_text, const std::wstring& box_caption, UINT box_style) {
            text = box_text;
            caption = box_caption;
            style = box_style;
            return answer;
        });
    EXPECT_EQ(desktop_->MessageBox("保存吗？", kMbYesNo | kMbIconQuestion, "砚舟"), kResultYes);
    EXPECT_EQ(text, WideFromGbk("保存吗？"));
    EXPECT_EQ(caption, WideFromGbk("砚舟"));
    EXPECT_EQ(style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL));
    answer = IDNO;
    EXPECT_EQ(desktop_->MessageBox("系统", kMbSystemModal, ""), kResultNo);
    EXPECT_EQ(style, static_cast<UINT>(MB_SYSTEMMODAL));
}

// An exception escaping a handler must not unwind through the system's frames: the text is rescued,
// then the last-resort box shows, and the process ends with -1 before any other handler runs.
using DesktopDeathTest = DesktopTest;

TEST_F(DesktopDeathTest, AnExceptionEscapingAHandlerEndsWithTheLastResortBox) {
    Load();
    EXPECT_EXIT(
        {
            SetFatalErrorRescue([] { std::fputs("rescued;", stderr); });
            desktop_->ReplaceMessageBoxForTesting([](const std::wstring& text, const std::wstring& caption,
                                                     UINT style) {
                const bool expected =
                    text == WideFromGbk(
                                "运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n") &&
                    caption == WideFromGbk("错误") && style == static_cast<UINT>(MB_OK | MB_ICONERROR | MB_TASKMODAL);
                std::fputs(expected ? "box;" : "wrong box;", stderr);
                return IDOK;
            });
            desktop_->Bind({kWindow, "编辑框"}, EventKind::kContentChanged, [](const Event&) {
                const std::vector<int> list{1};
                return list.at(1) == 0;
            });
            desktop_->SetProperty({kWindow, "编辑框"}, Property::kText, Text("x"));
            std::fputs("went on;", stderr);
        },
        ::testing::ExitedWithCode(-1), "rescued;box;");
}

TEST_F(DesktopTest, TimerTicksWhileDelayingAndStopsAtZero) {
    Load();
    Record("时钟", EventKind::kTick);
    const ControlRef timer{kWindow, "时钟"};
    desktop_->SetProperty(timer, Property::kPeriod, PropertyValue{std::int64_t{20}});
    EXPECT_EQ(GetNumber(*desktop_, timer, Property::kPeriod), 20);
    const ULONGLONG start = GetTickCount64();
    desktop_->DelayWithEvents(250);
    EXPECT_GE(GetTickCount64() - start, 250u);
    const int ticks = Count(EventKind::kTick);
    EXPECT_GE(ticks, 4);
    EXPECT_LE(ticks, 14);
    desktop_->SetProperty(timer, Property::kPeriod, PropertyValue{std::int64_t{0}});
    desktop_->DelayWithEvents(100);
    EXPECT_EQ(Count(EventKind::kTick), ticks);
}

TEST_F(DesktopTest, PopupMenuRunsThePickedEntryBeforeReturning) {
    Load();
    int undone = 0;
    desktop_->BindMenu(kWindow, "撤销", [&] { ++undone; });
    // The menu's own loop reads these keys: the first entry, then pick it.
    PostMessageW(Hwnd(), WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(Hwnd(), WM_KEYDOWN, VK_RETURN, 0);
    desktop_->PopupMenu(kWindow, "编辑", 100, 100);
    EXPECT_EQ(undone, 1);
}

TEST_F(DesktopTest, ShortcutRunsItsEntryUnlessDisabled) {
    Load();
    int deleted = 0;
    desktop_->BindMenu(kWindow, "删除", [&] { ++deleted; });
    SetText("编辑框", "abc");
    PostMessageW(Hwnd("编辑框"), WM_KEYDOWN, VK_DELETE, 0);
    desktop_->DelayWithEvents(50);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(TextOf("编辑框"), "abc");  // the shortcut took the key
    desktop_->SetProperty({kWindow, "删除"}, Property::kDisabled, PropertyValue{true});
    PostMessageW(Hwnd("编辑框"), WM_KEYDOWN, VK_DELETE, 0);
    desktop_->DelayWithEvents(50);
    EXPECT_EQ(deleted, 1);
}

TEST_F(DesktopTest, InjectedChordOfAShortcutReachesTheControlNotTheEntryAgain) {
    // The edit commands inject their own shortcut's chord; translated again, the entry would
    // re-inject itself for ever.
    Load();
    int runs = 0;
    desktop_->BindMenu(kWindow, "删除", [&] {
        ++runs;
        desktop_->SimulateKeys({VK_DELETE});
    });
    SetText("编辑框", "abc");
    desktop_->SetFocus({kWindow, "编辑框"});
    PostMessageW(Hwnd("编辑框"), WM_KEYDOWN, VK_DELETE, 0);
    desktop_->DelayWithEvents(300);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(TextOf("编辑框"), "bc");  // the injected Del did the deleting
}

TEST_F(DesktopTest, ColourPaletteOpensUnderTheButtonAndPicks) {
    Load();
    Record("颜色", EventKind::kColourChosen);
    desktop_->SendUnitMessage({kWindow, "颜色"}, WM_LBUTTONUP, 0, 0);
    HWND palette = desktop_->PaletteWindow();
    ASSERT_NE(palette, nullptr);
    RECT button{};
    RECT shown{};
    GetWindowRect(Hwnd("颜色"), &button);
    GetWindowRect(palette, &shown);
    EXPECT_EQ(shown.left, button.left);
    EXPECT_EQ(shown.top, button.bottom);
    EXPECT_TRUE(IsWindowVisible(palette));

    SendMessageW(palette, WM_LBUTTONUP, 0, MAKELPARAM(13, 49));  // third row, first column: red
    EXPECT_EQ(desktop_->PaletteWindow(), nullptr);
    ASSERT_EQ(Count(EventKind::kColourChosen), 1);
    EXPECT_EQ(events_[0].a, kRed);
    EXPECT_EQ(GetNumber(*desktop_, {kWindow, "颜色"}, Property::kColour), kRed);

    desktop_->SendUnitMessage({kWindow, "颜色"}, WM_LBUTTONUP, 0, 0);
    SendMessageW(desktop_->PaletteWindow(), WM_LBUTTONDOWN, 0, MAKELPARAM(-20, -20));  // elsewhere
    EXPECT_EQ(desktop_->PaletteWindow(), nullptr);
    EXPECT_EQ(Count(EventKind::kColourChosen), 1);

    // The last button opens the colour dialog on the current colour.
    desktop_->SendUnitMessage({kWindow, "颜色"}, WM_LBUTTONUP, 0, 0);
    AnswerNextDialog(IDOK);
    SendMessageW(desktop_->PaletteWindow(), WM_LBUTTONUP, 0, MAKELPARAM(76, 109));
    ASSERT_EQ(Count(EventKind::kColourChosen), 2);
    EXPECT_EQ(events_[1].a, kRed);
}

TEST_F(DesktopTest, BalloonShowsOnTopAndHidesOnClick) {
    Load();
    const ControlRef tip{kWindow, "提示"};
    desktop_->ShowTip(tip, 200, 200, "<font color=red>错误</font>\r\n第二行", 1, true);
    HWND first = desktop_->BalloonOf(tip);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_TRUE(GetWindowLongW(first, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT rect{};
    GetWindowRect(first, &rect);
    EXPECT_LE(rect.left, 200);
    EXPECT_EQ(rect.top, 200);  // the stem's tip is the point
    // The next one waits its turn (half a second after the first), then takes the first's place;
    // of the many that come meanwhile, a few wait and the rest are dropped.
    desktop_->ShowTip(tip, 300, 300, "另一个", -1, false);
    for (int i = 0; i < 50; ++i) {
        desktop_->ShowTip(tip, 300, 300, "又一个", -1, false);
    }
    EXPECT_EQ(desktop_->BalloonOf(tip), first);
    int balloons = 1;
    HWND second = first;
    const auto count_new_balloons = [&](int deadline_ms, int until) {
        for (int waited = 0; waited < deadline_ms && balloons < until; waited += 10) {
            desktop_->DelayWithEvents(10);
            if (desktop_->BalloonOf(tip) != second) {
                second = desktop_->BalloonOf(tip);
                ++balloons;
            }
        }
    };
    count_new_balloons(5000, 4);
    EXPECT_FALSE(IsWindow(first));
    // The first, "另一个" and two of the 50; then nothing more is waiting.
    count_new_balloons(700, 5);
    EXPECT_EQ(balloons, 4);
    SendMessageW(second, WM_LBUTTONDOWN, 0, 0);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_EQ(desktop_->BalloonOf(tip), nullptr);
}

// Whatever text comes from the network, the balloon stays a small box.
TEST_F(DesktopTest, ABalloonOfAnyTextStaysWithinItsMaximumSize) {
    Load();
    Text text(5000, 'W');
    for (int line = 0; line < 40; ++line) {
        text += "\r\n第几行";
    }
    desktop_->ShowTip({kWindow, "提示"}, 100, 100, text, 1, true);
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(desktop_->BalloonOf({kWindow, "提示"}), &rect));
    EXPECT_LE(rect.right - rect.left, kBalloonTextWidth + 64);
    EXPECT_LE(rect.bottom - rect.top, 200);
}

TEST_F(DesktopTest, ListBoxesListViewsAndTabCaptions) {
    Load();
    const ControlRef list{kWindow, "列表框"};
    EXPECT_EQ(desktop_->ListBoxInsert(list, 0, "甲", 7), 0);
    EXPECT_EQ(desktop_->ListBoxInsert(list, 0, "乙", 8), 0);
    EXPECT_EQ(desktop_->ListBoxInsert(list, -1, "丙", 9), -1);
    EXPECT_EQ(SendMessageW(Hwnd("列表框"), LB_GETITEMDATA, 1, 0), 7);
    EXPECT_EQ(SendMessageW(Hwnd("列表框"), LB_GETCOUNT, 0, 0), 2);
    desktop_->ListBoxClear(list);
    EXPECT_EQ(SendMessageW(Hwnd("列表框"), LB_GETCOUNT, 0, 0), 0);

    const ControlRef view{kWindow, "列表"};
    desktop_->ListViewInsertColumn(view, 0, "名称", 80);
    desktop_->ListViewInsertColumn(view, 1, "值", 80);
    EXPECT_EQ(desktop_->ListViewInsert(view, -1, "第一"), 0);
    EXPECT_EQ(desktop_->ListViewInsert(view, -1, "第二"), 1);
    EXPECT_EQ(desktop_->ListViewInsert(view, 0, "零"), 0);
    desktop_->ListViewSetText(view, 2, 1, "二的值");
    EXPECT_EQ(desktop_->ListViewItemCount(view), 3);
    EXPECT_EQ(desktop_->ListViewGetText(view, 0, 0), "零");
    EXPECT_EQ(desktop_->ListViewGetText(view, 2, 0), "第二");
    EXPECT_EQ(desktop_->ListViewGetText(view, 2, 1), "二的值");
    // Deleting moves the later rows up; a row that does not exist is left alone.
    desktop_->ListViewDelete(view, 0);
    desktop_->ListViewDelete(view, 5);
    EXPECT_EQ(desktop_->ListViewItemCount(view), 2);
    EXPECT_EQ(desktop_->ListViewGetText(view, 1, 1), "二的值");

    desktop_->SetTabCaption({kWindow, "选择夹"}, 1, "新页名");
    wchar_t caption[32] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = 32;
    SendMessageW(Hwnd("选择夹"), TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(caption), WideFromGbk("新页名"));
}

TEST_F(DesktopTest, FontDialogKeepsTheLastConfirmedChoice) {
    Load();
    const ControlRef dialog{kWindow, "对话框"};
    desktop_->SetProperty(dialog, Property::kDialogKind, PropertyValue{std::int64_t{kDialogFont}});
    desktop_->SetProperty(dialog, Property::kFontFace, PropertyValue{Text("原来")});
    EXPECT_FALSE(RunAnswered(*desktop_, dialog, IDCANCEL));
    EXPECT_EQ(GetText(*desktop_, dialog, Property::kFontFace), "原来");

    ASSERT_TRUE(RunAnswered(*desktop_, dialog, IDOK));
    const Text face = GetText(*desktop_, dialog, Property::kFontFace);
    const std::int64_t size = GetNumber(*desktop_, dialog, Property::kFontSize);
    EXPECT_NE(face, "原来");
    EXPECT_FALSE(face.empty());
    EXPECT_GT(size, 0);
    desktop_->SetProperty(dialog, Property::kFontFace, PropertyValue{Text("原来")});
    ASSERT_TRUE(RunAnswered(*desktop_, dialog, IDOK));  // opens on the last choice
    EXPECT_EQ(GetText(*desktop_, dialog, Property::kFontFace), face);
    EXPECT_EQ(GetNumber(*desktop_, dialog, Property::kFontSize), size);
}

TEST_F(DesktopTest, CancelledFileDialogLeavesTheFileName) {
    Load();
    const ControlRef dialog{kWindow, "对话框"};
    desktop_->SetProperty(dialog, Property::kFilter, PropertyValue{Text("文本文件|*.txt")});
    desktop_->SetProperty(dialog, Property::kFileName, PropertyValue{Text("稿子.txt")});
    EXPECT_FALSE(RunAnswered(*desktop_, dialog, IDCANCEL));
    EXPECT_EQ(GetText(*desktop_, dialog, Property::kFileName), "稿子.txt");
    EXPECT_FALSE(desktop_->ShowFileDialog({kWindow, "按钮"}));
}

TEST_F(DesktopTest, SimulatedKeysReachTheFocusedControl) {
    Load();
    desktop_->SetFocus({kWindow, "编辑框"});
    Record("编辑框", EventKind::kKeyUp);
    desktop_->SimulateKeys({'Y', 'Z'});
    desktop_->DelayWithEvents(150);
    EXPECT_EQ(TextOf("编辑框"), "yz");
    ASSERT_EQ(Count(EventKind::kKeyUp), 2);
    EXPECT_EQ(events_[0].a, 'Y');  // released in the order pressed
}

}  // namespace
}  // namespace yz::testing
