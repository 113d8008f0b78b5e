#pragma once

// A small window with one control of most kinds, the fixture that loads it on a fresh desktop,
// and an event recorder. Names are Chinese like the program's own.

#include "runtime/win32/win32_desktop.h"

#include <gtest/gtest.h>

#include "runtime/wide_win32.h"

#include <memory>
#include <vector>

namespace yz::testing {

inline constexpr char kWindow[] = "测试窗口";

inline ControlTemplate Control(const Text& name, ControlKind kind, Rect rect) {
    ControlTemplate control;
    control.name = name;
    control.kind = kind;
    control.rect = rect;
    return control;
}

inline WindowTemplate TestWindow() {
    WindowTemplate window;
    window.name = kWindow;
    window.rect = {40, 30, 480, 360};
    window.border_style = 2;
    window.background = 0xE0F0F0;
    window.title = "砚台测试";

    ControlTemplate edit = Control("编辑框", ControlKind::kEditBox, {10, 10, 200, 24});
    edit.tab_position = 1;
    edit.input_limit = 16;
    edit.placeholder = "请输入";
    window.controls.push_back(edit);
    ControlTemplate notes = Control("备注", ControlKind::kEditBox, {10, 40, 200, 60});
    notes.multi_line = true;
    notes.vertical_scroll = true;
    notes.tab_position = 2;
    window.controls.push_back(notes);
    ControlTemplate label = Control("标签", ControlKind::kLabel, {220, 10, 100, 20});
    label.text = "标签文字";
    window.controls.push_back(label);
    window.controls.push_back(Control("透明标签", ControlKind::kTransparentLabel, {220, 34, 100, 20}));
    ControlTemplate button = Control("按钮", ControlKind::kButton, {330, 10, 80, 26});
    button.text = "确定";
    button.tab_position = 3;
    window.controls.push_back(button);
    window.controls.push_back(Control("选择框", ControlKind::kCheckBox, {330, 40, 100, 20}));
    window.controls.push_back(Control("列表框", ControlKind::kListBox, {10, 110, 120, 80}));
    window.controls.push_back(Control("列表", ControlKind::kListView, {140, 110, 180, 80}));
    ControlTemplate slider = Control("滑块", ControlKind::kSlider, {330, 70, 120, 30});
    slider.slider.tick_frequency = 10;
    window.controls.push_back(slider);
    window.controls.push_back(Control("颜色", ControlKind::kColourPicker, {330, 110, 40, 24}));
    ControlTemplate picture = Control("图片按钮", ControlKind::kPictureButton, {380, 110, 32, 32});
    picture.pictures = {"TEST_PICTURE"};
    window.controls.push_back(picture);

    ControlTemplate tabs = Control("选择夹", ControlKind::kTabControl, {10, 200, 300, 120});
    tabs.texts = {"第一页", "第二页"};
    window.controls.push_back(tabs);
    ControlTemplate first = Control("一页编辑", ControlKind::kEditBox, {10, 30, 100, 22});
    first.container = "选择夹";
    first.page = 0;
    first.tab_position = 4;
    window.controls.push_back(first);
    ControlTemplate second = Control("二页编辑", ControlKind::kEditBox, {10, 30, 100, 22});
    second.container = "选择夹";
    second.page = 1;
    second.tab_position = 6;
    window.controls.push_back(second);
    ControlTemplate second_early = Control("二页按钮", ControlKind::kButton, {120, 30, 80, 22});
    second_early.container = "选择夹";
    second_early.page = 1;
    second_early.tab_position = 5;
    window.controls.push_back(second_early);
    ControlTemplate second_hidden = Control("二页隐藏", ControlKind::kLabel, {10, 60, 100, 20});
    second_hidden.container = "选择夹";
    second_hidden.page = 1;
    second_hidden.visible = false;
    window.controls.push_back(second_hidden);

    window.controls.push_back(Control("时钟", ControlKind::kTimer, {}));
    window.controls.push_back(Control("提示", ControlKind::kBalloonTip, {}));
    window.controls.push_back(Control("对话框", ControlKind::kCommonDialog, {}));

    window.menus = {
        {"编辑", 0, true, false, false, ""},       {"撤销", 1, false, false, false, "Ctrl+Z"},
        {"删除", 1, false, false, false, "Del"},   {"-", 1, false, false, false, ""},
        {"全选", 1, false, false, true, "Ctrl+A"},
    };
    return window;
}

struct Recorded {
    EventKind kind;
    Text control;
    int a = 0;
    int b = 0;
    int c = 0;
};

class DesktopTest : public ::testing::Test {
  protected:
    void SetUp() override { desktop_ = std::make_unique<Win32Desktop>(); }
    void TearDown() override { desktop_.reset(); }

    void Load(const WindowTemplate& window = TestWindow()) { ASSERT_TRUE(desktop_->LoadWindow(window, {}, false)); }

    // Records every event of the control (the window for an empty name) and answers `answer`.
    void Record(const Text& control, EventKind kind, bool answer = true, const Text& window = kWindow) {
        desktop_->Bind({window, control}, kind, [this, answer](const Event& event) {
            events_.push_back({event.kind, event.source.control, event.a, event.b, event.c});
            return answer;
        });
    }

    int Count(EventKind kind) const {
        int count = 0;
        for (const Recorded& event : events_) {
            count += event.kind == kind ? 1 : 0;
        }
        return count;
    }

    HWND Hwnd(const Text& control = {}) const { return desktop_->Handle({kWindow, control}); }
    Text TextOf(const Text& control) const { return GetText(*desktop_, {kWindow, control}, Property::kText); }
    void SetText(const Text& control, const Text& text) {
        desktop_->SetProperty({kWindow, control}, Property::kText, PropertyValue{text});
    }

    std::unique_ptr<Win32Desktop> desktop_;
    std::vector<Recorded> events_;
};

}  // namespace yz::testing
