#include <gtest/gtest.h>

#include "app/panels.h"
#include "app/program_fixture.h"

namespace yz::test {
namespace {

using namespace ui;

class MenusTest : public ProgramTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Start());
        ASSERT_TRUE(desktop_.MoveWindowByUser(kMainWindow, 100, 50));
    }
    std::int64_t Colour(const ControlRef& label) const { return GetNumber(desktop_, label, Property::kTextColour); }
};

TEST_F(MenusTest, EachMenuDropsUnderItsLabelAndTheLabelStaysRed) {
    const std::tuple<const ControlRef*, const Text*, int> labels[] = {
        {&操作标签, &操作菜单, 5},   {&编辑标签, &编辑菜单, 62},  {&功能标签, &功能菜单, 118},
        {&设置标签, &设置菜单, 176}, {&帮助标签, &帮助菜单, 233},
    };
    for (const auto& [label, menu, offset] : labels) {
        desktop_.QueuePopupMenuPick(std::nullopt);
        ASSERT_TRUE(desktop_.LeftButtonDown(*label));
        EXPECT_EQ(desktop_.popups().back(), (PopupRecord{kMainWindow, *menu, 100 + offset, 50 + 36}));
        EXPECT_EQ(Colour(*label), kRed);
        for (const auto& [other, other_menu, other_offset] : labels) {
            if (other != label) {
                EXPECT_EQ(Colour(*other), kBlue);
            }
        }
        EXPECT_EQ(Colour(关闭标签), kBlue);
    }
}

TEST_F(MenusTest, HelpTextsOfTheHelpMenu) {
    const std::pair<const char*, const char*> items[] = {{"壹键隐藏 [说明] ", "功能说明:"},
                                                         {"作者版权 [声明]", "作者版权："},
                                                         {"快捷帮助 [说明]", "快捷操作帮助说明："}};
    for (const auto& [item, caption] : items) {
        desktop_.QueueMessageBoxAnswer(kResultOk);
        desktop_.QueuePopupMenuPick(Text(item));
        ASSERT_TRUE(desktop_.LeftButtonDown(帮助标签));
        EXPECT_EQ(LastMessageBox().caption, caption);
        EXPECT_EQ(LastMessageBox().flags & 0xFF, kMbOk);
    }
    const Text shortcuts = desktop_.message_boxes().back().text;
    EXPECT_EQ(
        shortcuts.find("----------------操作菜单----------------\r\n\r\n新建文件  Ctrl + A   保存文件  Ctrl + S \r\n"),
        0u);
    EXPECT_NE(shortcuts.find("\r\n一键隐藏   Esc          清空字符  Del \r\n"), Text::npos);
    EXPECT_EQ(shortcuts.substr(shortcuts.size() - 42), "\r\n----------------------------------------");
    EXPECT_EQ(desktop_.message_boxes()[1].text.find("\r\n[霁川软件]绿色出品\r\n\r\n"), 0u);
}

TEST_F(MenusTest, ReturnOperationClosesEveryPanelAndGivesTheEditorBack) {
    const ControlRef* panel_controls[] = {&笔名框,    &书名框,  &宣言框,   &链接框,  &展示按钮, &透明滑条,
                                          &透明标签,  &加按钮,  &路径按钮, &解m按钮, &解M地址,  &强制解析,
                                          &加M文件名, &加解M框, &显隐选框, &发言框,  &返回超钮};
    for (const ControlRef* control : panel_controls) {
        desktop_.SetProperty(*control, Property::kVisible, true);
        desktop_.SetProperty(*control, Property::kDisabled, false);
    }
    for (const ControlRef* label : {&操作标签, &编辑标签, &功能标签, &设置标签, &帮助标签}) {
        desktop_.SetProperty(*label, Property::kVisible, false);
        desktop_.SetProperty(*label, Property::kDisabled, true);
    }
    desktop_.SetProperty(主编框, Property::kDisabled, true);
    desktop_.SetProperty(主编框, Property::kInputMode, std::int64_t{kInputMasked});
    desktop_.SetProperty(作者列表, Property::kVisible, false);

    ASSERT_TRUE(desktop_.Click(返回超钮));

    for (const ControlRef* control : panel_controls) {
        EXPECT_FALSE(GetFlag(desktop_, *control, Property::kVisible)) << control->control;
        // The overlay label is only hidden.
        EXPECT_EQ(GetFlag(desktop_, *control, Property::kDisabled), control != &透明标签) << control->control;
    }
    for (const ControlRef* label : {&操作标签, &编辑标签, &功能标签, &设置标签, &帮助标签}) {
        EXPECT_TRUE(GetFlag(desktop_, *label, Property::kVisible));
        EXPECT_FALSE(GetFlag(desktop_, *label, Property::kDisabled));
    }
    EXPECT_FALSE(GetFlag(desktop_, 主编框, Property::kDisabled));
    EXPECT_EQ(GetNumber(desktop_, 主编框, Property::kInputMode), kInputNormal);
    EXPECT_EQ(desktop_.FocusedControl(), 主编框);
    // The author list is not the return operation's business.
    EXPECT_FALSE(GetFlag(desktop_, 作者列表, Property::kVisible));

    // With no panel open it only gives the editor the focus.
    desktop_.SetFocus(标题标签);
    ReturnOperation(desktop_);
    EXPECT_EQ(desktop_.FocusedControl(), 主编框);
}

}  // namespace
}  // namespace yz::test
