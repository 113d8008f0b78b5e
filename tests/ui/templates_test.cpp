#include "ui/templates.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The editor's white is the colour key that lets the backdrop show through: it belongs to the
// template, so every way of creating the editor has it, not only the start-up step.
TEST(TemplatesTest, TheEditorCarriesItsWhiteBackground) {
    const auto& controls = MainWindowTemplate().controls;
    const auto editor = std::find_if(controls.begin(), controls.end(),
                                     [](const ControlTemplate& control) { return control.name == "主编框"; });
    ASSERT_NE(editor, controls.end());
    EXPECT_EQ(editor->back_colour, std::optional<Colour>(kWhite));
}

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
        EXPECT_TRUE(bound.count(binding) > 0)
            << Utf8FromGbk(window) << " " << Utf8FromGbk(control) << " event " << static_cast<int>(kind);
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
        EXPECT_GT(menus.count({kMainWindow, entry.caption}), 0u) << Utf8FromGbk(entry.caption);
    }
}

}  // namespace
}  // namespace yz::test
