// Windows and controls for real: creation order, properties, the common events, edit boxes,
// tab pages, closing and the loops.

#include "win32/win32_test_window.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace yz::testing {
namespace {

LOGFONTW FontOf(HWND hwnd) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font;
}

TEST_F(DesktopTest, CreatedRunsWithEveryControlThenMovedAndResized) {
    bool controls_existed = false;
    desktop_->Bind({kWindow, {}}, EventKind::kCreated, [&](const Event& event) {
        events_.push_back({event.kind, {}});
        controls_existed = desktop_->Exists({kWindow, "二页隐藏"}) && desktop_->Exists({kWindow, "时钟"});
        return true;
    });
    Record({}, EventKind::kMoved);
    Record({}, EventKind::kResized);
    Load();
    ASSERT_EQ(events_.size(), 3u);
    EXPECT_TRUE(controls_existed);
    EXPECT_EQ(events_[0].kind, EventKind::kCreated);
    EXPECT_EQ(events_[1].kind, EventKind::kMoved);
    EXPECT_EQ(events_[1].a, 40);
    EXPECT_EQ(events_[2].kind, EventKind::kResized);
    EXPECT_EQ(events_[2].a, 480);
    EXPECT_TRUE(IsWindowVisible(Hwnd()));
    EXPECT_EQ(GetText(*desktop_, {kWindow, {}}, Property::kTitle), "砚台测试");
    EXPECT_FALSE(desktop_->Exists({kWindow, "没有"}));
    EXPECT_FALSE(desktop_->Exists({"没有", {}}));
}

// The child windows of `parent`, top of the stack first.
std::vector<HWND> Stacked(HWND parent) {
    std::vector<HWND> stacked;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        stacked.push_back(child);
    }
    return stacked;
}

TEST_F(DesktopTest, TemplateOrderIsStackingOrderTopFirst) {
    // A panel over an editor: the editor, listed last, is disabled and covers the panel's button.
    WindowTemplate window = TestWindow();
    window.controls.clear();
    ControlTemplate button = Control("面板按钮", ControlKind::kButton, {20, 20, 80, 30});
    button.text = "加密";
    window.controls.push_back(button);
    window.controls.push_back(Control("面板底", ControlKind::kTransparentLabel, {0, 0, 300, 200}));
    ControlTemplate editor = Control("编辑器", ControlKind::kEditBox, {0, 0, 400, 300});
    editor.multi_line = true;
    editor.enabled = false;
    editor.back_colour = 0x00FF00;
    window.controls.push_back(editor);
    Load(window);

    EXPECT_EQ(Stacked(Hwnd()), (std::vector<HWND>{Hwnd("面板按钮"), Hwnd("面板底"), Hwnd("编辑器")}));
    EXPECT_EQ(ChildWindowFromPointEx(Hwnd(), POINT{50, 30}, CWP_SKIPINVISIBLE), Hwnd("面板按钮"));
    EXPECT_EQ(ChildWindowFromPointEx(Hwnd(), POINT{350, 250}, CWP_SKIPINVISIBLE), Hwnd("编辑器"));

    // The editor repainting itself leaves the button above it as it was.
    RedrawWindow(Hwnd("编辑器"), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(Hwnd("面板按钮"));
    EXPECT_NE(GetPixel(dc, 40, 15), RGB(0, 255, 0));
    ReleaseDC(Hwnd("面板按钮"), dc);
}

void DispatchQueued() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

TEST_F(DesktopTest, HiddenControlsGetTheirWindowsOnFirstUseOrOnceTheWindowIsUpInTheirPlace) {
    // The panel of the stacking case, hidden at first, and a hidden tab control with a page.
    WindowTemplate window = TestWindow();
    window.controls.clear();
    ControlTemplate button = Control("面板按钮", ControlKind::kButton, {20, 20, 80, 30});
    button.visible = false;
    window.controls.push_back(button);
    ControlTemplate under = Control("面板底", ControlKind::kTransparentLabel, {0, 0, 300, 200});
    under.visible = false;
    window.controls.push_back(under);
    ControlTemplate page = Control("一页编辑", ControlKind::kEditBox, {10, 30, 100, 22});
    page.container = "选择夹";
    page.page = 0;
    window.controls.push_back(page);
    ControlTemplate tabs = Control("选择夹", ControlKind::kTabControl, {10, 200, 300, 120});
    tabs.texts = {"第一页", "第二页"};
    tabs.visible = false;
    window.controls.push_back(tabs);
    ControlTemplate editor = Control("编辑器", ControlKind::kEditBox, {0, 0, 400, 300});
    editor.multi_line = true;
    window.controls.push_back(editor);
    ASSERT_TRUE(desktop_->LoadWindow(window, {}, false));
    HWND main = desktop_->Handle({kWindow, {}});
    const ControlRef panel_button{kWindow, "面板按钮"};

    // Only what shows has a window; the rest exists and keeps what is written to it.
    EXPECT_EQ(Stacked(main).size(), 1u);
    EXPECT_TRUE(desktop_->Exists(panel_button));
    desktop_->SetProperty(panel_button, Property::kLeft, PropertyValue{std::int64_t{30}});
    desktop_->SetProperty(panel_button, Property::kText, PropertyValue{Text("改过")});
    desktop_->SetProperty(panel_button, Property::kDisabled, PropertyValue{true});
    EXPECT_EQ(GetNumber(*desktop_, panel_button, Property::kLeft), 30);
    EXPECT_TRUE(GetFlag(*desktop_, panel_button, Property::kDisabled));
    EXPECT_FALSE(GetFlag(*desktop_, panel_button, Property::kVisible));
    EXPECT_EQ(Stacked(main).size(), 1u);

    // Shown, it is made with all of that, above the editor listed after it.
    desktop_->SetProperty(panel_button, Property::kVisible, PropertyValue{true});
    HWND made = FindWindowExW(main, nullptr, L"Button", nullptr);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(IsWindowVisible(made));
    EXPECT_FALSE(IsWindowEnabled(made));
    EXPECT_EQ(GetText(*desktop_, panel_button, Property::kText), "改过");
    RECT placed{};
    GetWindowRect(made, &placed);
    MapWindowPoints(HWND_DESKTOP, main, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 30);
    EXPECT_EQ(Stacked(main), (std::vector<HWND>{made, Hwnd("编辑器")}));

    // Used through the tab control's page, the tab control is made first and holds its page, which
    // answers by the page rule though the tab control is hidden.
    EXPECT_TRUE(GetFlag(*desktop_, {kWindow, "一页编辑"}, Property::kVisible));
    HWND page_box = Hwnd("一页编辑");
    ASSERT_NE(page_box, nullptr);
    EXPECT_EQ(GetParent(page_box), Hwnd("选择夹"));
    EXPECT_FALSE(IsWindowVisible(page_box));
    desktop_->SetProperty({kWindow, "选择夹"}, Property::kVisible, PropertyValue{true});
    EXPECT_TRUE(IsWindowVisible(page_box));  // the selected page shows

    // Once the window's queued messages run, every control has its window, in template order.
    DispatchQueued();
    EXPECT_EQ(Stacked(main), (std::vector<HWND>{made, FindWindowExW(main, nullptr, L"Static", nullptr), Hwnd("选择夹"),
                                                Hwnd("编辑器")}));
    EXPECT_FALSE(IsWindowVisible(Stacked(main)[1]));
}

TEST_F(DesktopTest, ShownControlsAreMadeOnceWhereTheLoadingHandlersLeaveThem) {
    // A status label and an editor, both shown. The handlers that run while the window loads
    // place and restyle the label before it has a window; its window is then made at that place.
    WindowTemplate window = TestWindow();
    window.controls.clear();
    ControlTemplate label = Control("状态", ControlKind::kLabel, {0, 0, 100, 20});
    label.text = "原文";
    window.controls.push_back(label);
    ControlTemplate editor = Control("编辑器", ControlKind::kEditBox, {0, 0, 400, 300});
    editor.multi_line = true;
    window.controls.push_back(editor);
    const ControlRef status{kWindow, "状态"};
    std::size_t windows_before_text = 99;
    std::size_t windows_after_text = 99;
    Text caption_read;
    bool shown_read = false;
    desktop_->Bind({kWindow, {}}, EventKind::kCreated, [&](const Event&) {
        HWND main = desktop_->Handle({kWindow, {}});
        desktop_->SetProperty(status, Property::kLeft, PropertyValue{std::int64_t{50}});
        desktop_->SetProperty(status, Property::kFontSize, PropertyValue{std::int64_t{18}});
        caption_read = GetText(*desktop_, status, Property::kText);
        shown_read = GetFlag(*desktop_, status, Property::kVisible);
        windows_before_text = Stacked(main).size();
        // An edit box's text is the writer's and lives in its window: writing it makes that window.
        desktop_->SetProperty({kWindow, "编辑器"}, Property::kText, PropertyValue{Text("正文")});
        windows_after_text = Stacked(main).size();
        return true;
    });
    desktop_->Bind({kWindow, {}}, EventKind::kResized, [&](const Event&) {
        desktop_->SetProperty(status, Property::kTop, PropertyValue{std::int64_t{60}});
        return true;
    });
    Load(window);

    EXPECT_EQ(windows_before_text, 0u);
    EXPECT_EQ(windows_after_text, 1u);
    EXPECT_EQ(caption_read, "原文");
    EXPECT_TRUE(shown_read);
    HWND made = Hwnd("状态");
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(IsWindowVisible(made));
    RECT placed{};
    GetWindowRect(made, &placed);
    MapWindowPoints(HWND_DESKTOP, Hwnd(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 50);
    EXPECT_EQ(placed.top, 60);
    EXPECT_EQ(FontOf(made).lfHeight, -24);
    EXPECT_EQ(GetText(*desktop_, status, Property::kText), "原文");  // now read from the window
    // Made first, the editor still lies under the label listed before it.
    EXPECT_EQ(Stacked(Hwnd()), (std::vector<HWND>{made, Hwnd("编辑器")}));
    EXPECT_EQ(GetText(*desktop_, {kWindow, "编辑器"}, Property::kText), "正文");
}

TEST_F(DesktopTest, TheTemplatePictureLiesOverTheBackgroundColour) {
    // The picture (32 x 32, a blue square in the middle) is drawn at the client's corner, and the
    // window's colour fills the rest; a picture set later replaces it.
    WindowTemplate window = TestWindow();
    window.controls.clear();
    window.picture = "TEST_PICTURE";
    Load(window);
    auto pixel = [this](int x, int y) {
        RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        HDC dc = GetDC(Hwnd());
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(Hwnd(), dc);
        return colour;
    };
    EXPECT_EQ(pixel(16, 16), RGB(32, 64, 224));
    EXPECT_EQ(pixel(100, 100), RGB(0xF0, 0xF0, 0xE0));
    const auto later = PictureResourceBytes("MAIN_PICTURE");
    ASSERT_TRUE(later);
    desktop_->SetBackgroundPicture(kWindow, *later);
    EXPECT_EQ(pixel(10, 10), RGB(223, 230, 228));
}

// Pixels of the key colour on the screen inside the control.
int KeyPixels(HWND control, COLORREF key, int* painted) {
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT client{};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    int keyed = 0;
    *painted = 0;
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            const COLORREF pixel = GetPixel(dc, x, y);
            keyed += pixel == key ? 1 : 0;
            *painted += pixel != key && pixel != 0 ? 1 : 0;
        }
    }
    ReleaseDC(control, dc);
    return keyed;
}

TEST_F(DesktopTest, ButtonsCheckBoxesSlidersAndPictureButtonsShowNoKeyColourOnAKeyedWindow) {
    // The main window's arrangement: white background, white as the colour key.
    WindowTemplate window = TestWindow();
    window.background = 0xFFFFFF;
    window.controls.resize(11);            // up to the picture button: no tab pages
    window.controls[10].pictures.clear();  // a text on what lies below, as the main window's return button
    window.controls[10].text = "返回";
    Load(window);
    desktop_->SetColourKey(kWindow, 0xFFFFFF);
    for (const char* name : {"按钮", "选择框", "滑块", "图片按钮"}) {
        int painted = 0;
        EXPECT_EQ(KeyPixels(Hwnd(name), 0xFFFFFF, &painted), 0) << name;
        EXPECT_GT(painted, 0) << name;
    }
}

TEST_F(DesktopTest, WindowPropertiesRoundTrip) {
    Load();
    const ControlRef window{kWindow, {}};
    desktop_->SetProperty(window, Property::kLeft, PropertyValue{std::int64_t{70}});
    desktop_->SetProperty(window, Property::kWidth, PropertyValue{std::int64_t{500}});
    EXPECT_EQ(GetNumber(*desktop_, window, Property::kLeft), 70);
    EXPECT_EQ(GetNumber(*desktop_, window, Property::kTop), 30);
    EXPECT_EQ(GetNumber(*desktop_, window, Property::kWidth), 500);
    desktop_->SetProperty(window, Property::kTitle, PropertyValue{Text("新标题")});
    EXPECT_EQ(GetText(*desktop_, window, Property::kTitle), "新标题");

    desktop_->SetProperty(window, Property::kAlwaysOnTop, PropertyValue{true});
    EXPECT_TRUE(GetWindowLongW(Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetFlag(*desktop_, window, Property::kAlwaysOnTop));
    desktop_->SetProperty(window, Property::kAlwaysOnTop, PropertyValue{false});
    EXPECT_FALSE(GetFlag(*desktop_, window, Property::kAlwaysOnTop));

    desktop_->SetProperty(window, Property::kPositionState, PropertyValue{std::int64_t{3}});
    EXPECT_TRUE(IsZoomed(Hwnd()));
    EXPECT_EQ(GetNumber(*desktop_, window, Property::kPositionState), 3);
    desktop_->SetProperty(window, Property::kPositionState, PropertyValue{std::int64_t{1}});
    EXPECT_FALSE(IsZoomed(Hwnd()));
    EXPECT_EQ(GetNumber(*desktop_, window, Property::kLeft), (desktop_->ScreenWidth() - 500) / 2);
    EXPECT_EQ(GetNumber(*desktop_, window, Property::kWidth), 500);
    desktop_->SetProperty(window, Property::kPositionState, PropertyValue{std::int64_t{2}});
    EXPECT_TRUE(IsIconic(Hwnd()));
    EXPECT_EQ(GetNumber(*desktop_, window, Property::kPositionState), 2);

    desktop_->SetProperty(window, Property::kVisible, PropertyValue{false});
    EXPECT_FALSE(IsWindowVisible(Hwnd()));
    desktop_->SetProperty(window, Property::kDisabled, PropertyValue{true});
    EXPECT_TRUE(GetFlag(*desktop_, window, Property::kDisabled));
}

TEST_F(DesktopTest, ControlPropertiesRoundTrip) {
    Load();
    SetText("标签", "新的文字");
    EXPECT_EQ(TextOf("标签"), "新的文字");
    EXPECT_EQ(GetNumber(*desktop_, {kWindow, "标签"}, Property::kLeft), 220);
    EXPECT_EQ(GetNumber(*desktop_, {kWindow, "一页编辑"}, Property::kTop), 30);  // within the tab control
    desktop_->SetProperty({kWindow, "按钮"}, Property::kTop, PropertyValue{std::int64_t{44}});
    EXPECT_EQ(GetNumber(*desktop_, {kWindow, "按钮"}, Property::kTop), 44);

    desktop_->SetProperty({kWindow, "选择框"}, Property::kChecked, PropertyValue{true});
    EXPECT_EQ(SendMessageW(Hwnd("选择框"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(GetFlag(*desktop_, {kWindow, "选择框"}, Property::kChecked));

    const ControlRef edit{kWindow, "编辑框"};
    desktop_->SetProperty(edit, Property::kFontFace, PropertyValue{Text("黑体")});
    desktop_->SetProperty(edit, Property::kFontSize, PropertyValue{std::int64_t{18}});
    desktop_->SetProperty(edit, Property::kFontBold, PropertyValue{true});
    EXPECT_EQ(GetText(*desktop_, edit, Property::kFontFace), "黑体");
    EXPECT_EQ(GetNumber(*desktop_, edit, Property::kFontSize), 18);
    const LOGFONTW font = FontOf(Hwnd("编辑框"));
    EXPECT_EQ(font.lfHeight, -24);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(std::wstring(font.lfFaceName), WideFromGbk("黑体"));

    desktop_->SetProperty(edit, Property::kTextColour, PropertyValue{std::int64_t{kRed}});
    desktop_->SetProperty(edit, Property::kBackColour, PropertyValue{std::int64_t{0x00FFFF}});
    EXPECT_EQ(GetNumber(*desktop_, edit, Property::kTextColour), kRed);
    EXPECT_EQ(GetNumber(*desktop_, edit, Property::kBackColour), 0x00FFFF);

    desktop_->SetProperty(edit, Property::kInputMode, PropertyValue{std::int64_t{kInputReadOnly}});
    EXPECT_TRUE(GetWindowLongW(Hwnd("编辑框"), GWL_STYLE) & ES_READONLY);
    desktop_->SetProperty(edit, Property::kInputMode, PropertyValue{std::int64_t{kInputMasked}});
    EXPECT_FALSE(GetWindowLongW(Hwnd("编辑框"), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(SendMessageW(Hwnd("编辑框"), EM_GETPASSWORDCHAR, 0, 0), '*');
    EXPECT_EQ(GetNumber(*desktop_, edit, Property::kInputMode), kInputMasked);

    const ControlRef dialog{kWindow, "对话框"};
    desktop_->SetProperty(dialog, Property::kFileName, PropertyValue{Text("c:\\文档\\稿.txt")});
    desktop_->SetProperty(dialog, Property::kDialogKind, PropertyValue{std::int64_t{kDialogSave}});
    EXPECT_EQ(GetText(*desktop_, dialog, Property::kFileName), "c:\\文档\\稿.txt");
    EXPECT_EQ(GetNumber(*desktop_, dialog, Property::kDialogKind), kDialogSave);

    // Properties a kind does not have read empty and ignore writes.
    desktop_->SetProperty({kWindow, "标签"}, Property::kChecked, PropertyValue{true});
    EXPECT_FALSE(GetFlag(*desktop_, {kWindow, "标签"}, Property::kChecked));
    EXPECT_EQ(GetNumber(*desktop_, edit, Property::kPeriod), 0);
    EXPECT_EQ(GetText(*desktop_, {kWindow, "按钮"}, Property::kFileName), "");
    EXPECT_EQ(GetNumber(*desktop_, {"没有", "按钮"}, Property::kLeft), 0);

    const ControlRef entry{kWindow, "全选"};
    EXPECT_TRUE(GetFlag(*desktop_, entry, Property::kChecked));
    desktop_->SetProperty(entry, Property::kVisible, PropertyValue{false});
    EXPECT_FALSE(GetFlag(*desktop_, entry, Property::kVisible));
}

TEST_F(DesktopTest, SliderReportsTheWrittenValueUntilTheWriterMovesIt) {
    Load();
    const ControlRef slider{kWindow, "滑块"};
    Record("滑块", EventKind::kPositionChanged);
    desktop_->SetProperty(slider, Property::kSliderPosition, PropertyValue{std::int64_t{40000}});
    EXPECT_EQ(GetNumber(*desktop_, slider, Property::kSliderPosition), 32767);
    EXPECT_EQ(SendMessageW(Hwnd("滑块"), TBM_GETPOS, 0, 0), 100);
    desktop_->SetProperty(slider, Property::kSliderPosition, PropertyValue{std::int64_t{-5}});
    EXPECT_EQ(GetNumber(*desktop_, slider, Property::kSliderPosition), 0);
    desktop_->SetProperty(slider, Property::kSliderPosition, PropertyValue{std::int64_t{50}});
    EXPECT_TRUE(events_.empty());

    SendMessageW(Hwnd("滑块"), WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageW(Hwnd("滑块"), WM_KEYUP, VK_RIGHT, 0);  // ends the track: no event of its own
    ASSERT_EQ(Count(EventKind::kPositionChanged), 1);
    EXPECT_EQ(events_[0].a, 51);
    EXPECT_EQ(GetNumber(*desktop_, slider, Property::kSliderPosition), 51);
}

TEST_F(DesktopTest, SettingEditTextRaisesContentChangedOnceBeforeReturning) {
    Load();
    Record("编辑框", EventKind::kContentChanged);
    Record("备注", EventKind::kContentChanged);
    SetText("编辑框", "砚舟");
    EXPECT_EQ(Count(EventKind::kContentChanged), 1);
    SetText("编辑框", "砚舟");
    EXPECT_EQ(Count(EventKind::kContentChanged), 2);
    SetText("备注", "第一行");  // multi-line controls do not notify WM_SETTEXT themselves
    EXPECT_EQ(Count(EventKind::kContentChanged), 3);
    desktop_->EditAppend({kWindow, "备注"}, "\r\n第二行");
    EXPECT_EQ(TextOf("备注"), "第一行\r\n第二行");
    EXPECT_EQ(Count(EventKind::kContentChanged), 4);
    EXPECT_EQ(events_.back().control, "备注");
}

TEST_F(DesktopTest, KeyDownHandlerAnsweringFalseSwallowsTheKey) {
    Load();
    SetText("编辑框", "abc");
    Record("编辑框", EventKind::kKeyDown, false);
    SendMessageW(Hwnd("编辑框"), EM_SETSEL, 0, 0);
    SendMessageW(Hwnd("编辑框"), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(TextOf("编辑框"), "abc");
    ASSERT_EQ(Count(EventKind::kKeyDown), 1);
    EXPECT_EQ(events_[0].a, VK_DELETE);

    // Through the loop a swallowed key is not translated into a character either.
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW('X', MAPVK_VK_TO_VSC)) << 16 | 1;
    PostMessageW(Hwnd("编辑框"), WM_KEYDOWN, 'X', scan);
    desktop_->DelayWithEvents(80);
    EXPECT_EQ(TextOf("编辑框"), "abc");

    Record("编辑框", EventKind::kKeyDown, true);
    PostMessageW(Hwnd("编辑框"), WM_KEYDOWN, 'X', scan);
    desktop_->DelayWithEvents(80);
    EXPECT_EQ(TextOf("编辑框"), "xabc");
    SendMessageW(Hwnd("编辑框"), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(TextOf("编辑框"), "xbc");
}

TEST_F(DesktopTest, EditLimitCountsGbkBytes) {
    Load();
    HWND edit = Hwnd("编辑框");
    const wchar_t zhong = WideFromGbk("中")[0];
    for (int i = 0; i < 9; ++i) {
        SendMessageW(edit, WM_CHAR, zhong, 0);
    }
    EXPECT_EQ(TextOf("编辑框"), "中中中中中中中中");  // 16 bytes

    SetText("编辑框", "中中中中中中中");  // 14 bytes
    SendMessageW(edit, EM_SETSEL, 7, 7);
    SendMessageW(edit, WM_CHAR, 'a', 0);
    SendMessageW(edit, WM_CHAR, zhong, 0);  // would make 17
    SendMessageW(edit, WM_CHAR, 'b', 0);
    EXPECT_EQ(TextOf("编辑框"), "中中中中中中中ab");
    SendMessageW(edit, WM_CHAR, VK_BACK, 0);  // editing keys still work at the limit
    EXPECT_EQ(TextOf("编辑框"), "中中中中中中中a");

    // A paste is cut to what fits, replacing the selection.
    const std::wstring pasted = WideFromGbk("一二三四五六七八九十");
    ASSERT_TRUE(OpenClipboard(edit));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
    memcpy(GlobalLock(memory), pasted.c_str(), (pasted.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(TextOf("编辑框"), "一二三四五六七八");
}

TEST_F(DesktopTest, MouseAndWheelEventsCarryPositionAndModifiers) {
    Load();
    Record("标签", EventKind::kLeftButtonDown);
    Record("标签", EventKind::kRightButtonUp);
    Record("列表框", EventKind::kWheel);
    Record({}, EventKind::kDoubleClick);
    SendMessageW(Hwnd("标签"), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL | MK_SHIFT, MAKELPARAM(5, 7));
    SendMessageW(Hwnd("标签"), WM_RBUTTONUP, 0, MAKELPARAM(9, 2));
    SendMessageW(Hwnd("列表框"), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-240)), 0);
    SendMessageW(Hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(300, 300));
    ASSERT_EQ(events_.size(), 4u);
    EXPECT_EQ(events_[0].kind, EventKind::kLeftButtonDown);
    EXPECT_EQ(events_[0].a, 5);
    EXPECT_EQ(events_[0].b, 7);
    EXPECT_EQ(events_[0].c, 3);
    EXPECT_EQ(events_[1].kind, EventKind::kRightButtonUp);
    EXPECT_EQ(events_[1].a, 9);
    EXPECT_EQ(events_[2].a, -2);
    EXPECT_EQ(events_[2].b, 1);
    EXPECT_EQ(events_[3].kind, EventKind::kDoubleClick);
    EXPECT_EQ(events_[3].control, "");
}

TEST_F(DesktopTest, FocusMovesWithLostBeforeGot) {
    Load();
    desktop_->SetFocus({kWindow, "编辑框"});
    ASSERT_EQ(desktop_->FocusedControl(), (ControlRef{kWindow, "编辑框"}));
    Record("编辑框", EventKind::kLostFocus);
    Record("备注", EventKind::kGotFocus);
    desktop_->SetFocus({kWindow, "备注"});
    ASSERT_EQ(events_.size(), 2u);
    EXPECT_EQ(events_[0].kind, EventKind::kLostFocus);
    EXPECT_EQ(events_[1].kind, EventKind::kGotFocus);
    EXPECT_EQ(desktop_->FocusedControl(), (ControlRef{kWindow, "备注"}));
}

TEST_F(DesktopTest, TabPagesShowOnlyTheSelectedPage) {
    Load();
    EXPECT_TRUE(IsWindowVisible(Hwnd("一页编辑")));
    EXPECT_FALSE(IsWindowVisible(Hwnd("二页编辑")));
    desktop_->SendUnitMessage({kWindow, "选择夹"}, TCM_SETCURSEL, 1, 0);
    EXPECT_FALSE(IsWindowVisible(Hwnd("一页编辑")));
    EXPECT_TRUE(IsWindowVisible(Hwnd("二页编辑")));
    EXPECT_FALSE(IsWindowVisible(Hwnd("二页隐藏")));  // its template says hidden

    desktop_->SetProperty({kWindow, "选择夹"}, Property::kVisible, PropertyValue{false});
    EXPECT_FALSE(IsWindowVisible(Hwnd("二页编辑")));
    desktop_->SetProperty({kWindow, "选择夹"}, Property::kVisible, PropertyValue{true});

    // The writer's click moves the focus to the page's first stop.
    HWND tabs = Hwnd("选择夹");
    RECT item{};
    SendMessageW(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2));
    SendMessageW(tabs, WM_LBUTTONUP, 0, MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2));
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(Hwnd("一页编辑")));
    EXPECT_EQ(desktop_->FocusedControl(), (ControlRef{kWindow, "一页编辑"}));
    SendMessageW(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2));
    EXPECT_EQ(desktop_->FocusedControl(), (ControlRef{kWindow, "二页按钮"}));
}

TEST_F(DesktopTest, QueryCloseCanKeepTheWindow) {
    Load();
    Record({}, EventKind::kQueryClose, false);
    SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(desktop_->Exists({kWindow, {}}));
    Record({}, EventKind::kQueryClose, true);
    SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(desktop_->Exists({kWindow, {}}));
    EXPECT_FALSE(desktop_->Exists({kWindow, "编辑框"}));
    EXPECT_EQ(Count(EventKind::kQueryClose), 2);
}

TEST_F(DesktopTest, CloseWaitsForTheCurrentEventUnlessAtOnce) {
    Load();
    desktop_->CloseWindow(kWindow, false);
    EXPECT_TRUE(desktop_->Exists({kWindow, {}}));
    desktop_->DelayWithEvents(50);
    EXPECT_FALSE(desktop_->Exists({kWindow, {}}));
    Load();  // loads again, with the bindings of before
    desktop_->CloseWindow(kWindow, true);
    EXPECT_FALSE(desktop_->Exists({kWindow, {}}));
}

// What the window procedure of one window is given, seen from a hook on this thread.
HWND g_watched = nullptr;
std::vector<UINT> g_watched_messages;

LRESULT CALLBACK WatchMessages(int code, WPARAM wparam, LPARAM lparam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && g_watched != nullptr && sent->hwnd == g_watched) {
        g_watched_messages.push_back(sent->message);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

// A window its loading handler closes (an announcement with nothing to show) must not flash up.
TEST_F(DesktopTest, AWindowClosedWhileLoadingIsNeverShownNorPainted) {
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchMessages, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    desktop_->Bind({kWindow, {}}, EventKind::kCreated, [this](const Event&) {
        g_watched = Hwnd();
        desktop_->CloseWindow(kWindow, false);
        return true;
    });
    Load();
    EXPECT_FALSE(desktop_->Exists({kWindow, {}}));
    desktop_->DelayWithEvents(50);
    UnhookWindowsHookEx(hook);
    g_watched = nullptr;
    for (const UINT message : g_watched_messages) {
        EXPECT_NE(message, static_cast<UINT>(WM_SHOWWINDOW));
        EXPECT_NE(message, static_cast<UINT>(WM_PAINT));
    }
    EXPECT_NE(std::find(g_watched_messages.begin(), g_watched_messages.end(), static_cast<UINT>(WM_DESTROY)),
              g_watched_messages.end());
}

TEST_F(DesktopTest, ModalWindowDisablesItsOwnerUntilClosed) {
    Load();
    WindowTemplate modal;
    modal.name = "对话窗";
    modal.rect = {100, 100, 200, 120};
    modal.controls.push_back(Control("计时", ControlKind::kTimer, {}));
    bool owner_enabled_meanwhile = true;
    desktop_->Bind({"对话窗", {}}, EventKind::kCreated, [&](const Event&) {
        desktop_->SetProperty({"对话窗", "计时"}, Property::kPeriod, PropertyValue{std::int64_t{30}});
        return true;
    });
    desktop_->Bind({"对话窗", "计时"}, EventKind::kTick, [&](const Event&) {
        owner_enabled_meanwhile = IsWindowEnabled(Hwnd()) != FALSE;
        desktop_->CloseWindow("对话窗", false);
        return true;
    });
    ASSERT_TRUE(desktop_->LoadWindow(modal, kWindow, true));
    EXPECT_FALSE(owner_enabled_meanwhile);
    EXPECT_FALSE(desktop_->Exists({"对话窗", {}}));
    EXPECT_TRUE(IsWindowEnabled(Hwnd()));
}

TEST_F(DesktopTest, EndProgramEndsTheLoopWithItsCode) {
    Load();
    desktop_->Bind({kWindow, "时钟"}, EventKind::kTick, [&](const Event&) {
        desktop_->EndProgram(7);
        return true;
    });
    desktop_->SetProperty({kWindow, "时钟"}, Property::kPeriod, PropertyValue{std::int64_t{20}});
    EXPECT_EQ(desktop_->RunMessageLoop(), 7);
    EXPECT_FALSE(desktop_->Exists({kWindow, {}}));
}

}  // namespace
}  // namespace yz::testing
