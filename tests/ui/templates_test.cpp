#include "ui/templates.h"

#include <gtest/gtest.h>

#include <set>

#include "app/program_fixture.h"
#include "runtime/encoding.h"

namespace yz::test {
namespace {

using namespace ui;

const WindowTemplate* const kTemplates[] = {&BackdropWindowTemplate(), &MainWindowTemplate(),
                                            &AnnouncementWindowTemplate(), &FeedbackWindowTemplate()};

TEST(TemplatesTest, NamesAreUniqueAndPageControlsNameATabControl) {
    std::set<Text> windows;
    for (const WindowTemplate* window : kTemplates) {
        EXPECT_TRUE(windows.insert(window->name).second) << Utf8FromGbk(window->name);
        std::set<Text> names;
        for (const ControlTemplate& control : window->controls) {
            EXPECT_TRUE(names.insert(control.name).second) << Utf8FromGbk(control.name);
        }
        for (const ControlTemplate& control : window->controls) {
            if (control.container.empty()) {
                continue;
            }
            bool found = false;
            for (const ControlTemplate& tabs : window->controls) {
                found |= tabs.name == control.container && tabs.kind == ControlKind::kTabControl && control.page >= 0 &&
                         control.page < static_cast<int>(tabs.texts.size());
            }
            EXPECT_TRUE(found) << Utf8FromGbk(control.name);
        }
    }
    EXPECT_EQ(MainWindowTemplate().rect, (Rect{0, 0, 500, 645}));
    EXPECT_EQ(MainWindowTemplate().controls.size(), 43u);
}

// Bindings of features that arrive later: the encryption panel, the showcase, the chat, the
// feedback and announcements, the appearance commands, hiding to the tray. Each leaves this list
// when its handler is bound.
const std::set<Text> kPendingControls = {
    "透明滑条", "显隐选框", "路径按钮", "加M文件名", "强制解析", "解m按钮", "加按钮", "加解M框", "颜色选择器1",
};
const std::set<Text> kPendingMenus = {"文档加密 Alt+Q", "背景透明 Alt+T", "字体颜色 Alt+Y", "字体大小 Alt+U",
                                      "配置还原 Alt+I"};
// Esc in the showcase panel's boxes hides the program; that arrives with the hide.
const std::set<Text> kPendingKeyDown = {"笔名框", "书名框", "宣言框", "链接框", "展示按钮", "作者列表"};

using BindingsTest = ProgramTest;

TEST_F(BindingsTest, EveryTemplateBindingHasAHandlerAndNoHandlerIsOutsideTheTemplates) {
    ASSERT_TRUE(Start());
    const auto bound = desktop_.BoundEvents();
    std::set<std::tuple<Text, Text, EventKind>> declared;
    for (const WindowTemplate* window : kTemplates) {
        for (const EventKind kind : window->events) {
            declared.insert({window->name, "", kind});
        }
        for (const ControlTemplate& control : window->controls) {
            for (const EventKind kind : control.events) {
                declared.insert({window->name, control.name, kind});
            }
        }
    }
    for (const auto& binding : declared) {
        const auto& [window, control, kind] = binding;
        const bool pending = kPendingControls.count(control) > 0 ||
                             (window == kBackdropWindow && kind == EventKind::kTray) ||
                             (kind == EventKind::kMouseMove && control != "播报标签") ||  // the top line's hover
                             (kPendingKeyDown.count(control) > 0 && kind == EventKind::kKeyDown) ||
                             (control == "主编框" && kind == EventKind::kGotFocus);
        if (!pending) {
            EXPECT_TRUE(bound.count(binding) > 0)
                << Utf8FromGbk(window) << " " << Utf8FromGbk(control) << " event " << static_cast<int>(kind);
        }
    }
    for (const auto& binding : bound) {
        EXPECT_TRUE(declared.count(binding) > 0)
            << Utf8FromGbk(std::get<0>(binding)) << " " << Utf8FromGbk(std::get<1>(binding)) << " event "
            << static_cast<int>(std::get<2>(binding));
    }

    const auto menus = desktop_.BoundMenus();
    for (const MenuEntry& entry : MainWindowTemplate().menus) {
        if (entry.level == 0 || entry.caption == "-") {
            continue;
        }
        EXPECT_EQ(menus.count({kMainWindow, entry.caption}) > 0, kPendingMenus.count(entry.caption) == 0)
            << Utf8FromGbk(entry.caption);
    }
}

}  // namespace
}  // namespace yz::test
