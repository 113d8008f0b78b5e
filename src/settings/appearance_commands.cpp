#include "settings/appearance_commands.h"

#include "runtime/convert.h"
#include "settings/config_keys.h"
#include "settings/transparency_mode.h"
#include "ui/names.h"
#include "ui/status_line.h"

namespace yz {

namespace {

using namespace ui;

constexpr int kLeftButtonUpMessage = 0x0202;
constexpr std::int64_t kDefaultTextColour = 0xFF0090;
constexpr std::int64_t kDefaultFontSize = 18;
constexpr std::int64_t kDefaultBackdropAlpha = 60;
const Text kDefaultFontName = "宋体";

}  // namespace

AppearanceCommands::AppearanceCommands(UiService& ui) : ui_(ui) {}

void AppearanceCommands::FontCommand() {
    ui_.SetProperty(通用对话框, Property::kDialogKind, std::int64_t{kDialogFont});
    if (!ui_.ShowFileDialog(通用对话框)) {
        return;
    }
    for (const Property property : {Property::kFontFace, Property::kFontSize, Property::kFontBold,
                                    Property::kFontItalic, Property::kFontStrikeOut, Property::kFontUnderline}) {
        ui_.SetProperty(主编框, property, ui_.GetProperty(通用对话框, property));
    }
    WriteFontName(GetText(ui_, 主编框, Property::kFontFace));
    WriteFontSize(static_cast<std::int32_t>(GetNumber(ui_, 主编框, Property::kFontSize)));
    WriteFontBold(GetFlag(ui_, 主编框, Property::kFontBold));
    WriteFontItalic(GetFlag(ui_, 主编框, Property::kFontItalic));
    WriteFontStrikeOut(GetFlag(ui_, 主编框, Property::kFontStrikeOut));
    WriteFontUnderline(GetFlag(ui_, 主编框, Property::kFontUnderline));
}

void AppearanceCommands::ColourCommand() {
    ui_.SendUnitMessage(颜色选择器1, kLeftButtonUpMessage, 0, 0);
}

void AppearanceCommands::OnColourChosen() {
    ui_.SetProperty(主编框, Property::kTextColour, ui_.GetProperty(颜色选择器1, Property::kColour));
    WriteTextColour(static_cast<std::int32_t>(GetNumber(ui_, 主编框, Property::kTextColour)));
}

void AppearanceCommands::RestoreDefaults() {
    ui_.SetProperty(主编框, Property::kFontFace, kDefaultFontName);
    ui_.SetProperty(主编框, Property::kFontSize, kDefaultFontSize);
    ui_.SetProperty(主编框, Property::kTextColour, kDefaultTextColour);
    // The styles go back too, so the screen shows what the file now holds and the next start shows.
    for (const Property style :
         {Property::kFontBold, Property::kFontItalic, Property::kFontStrikeOut, Property::kFontUnderline}) {
        ui_.SetProperty(主编框, style, false);
    }
    ui_.SetProperty(段落列表, Property::kTextColour, std::int64_t{kRed});

    WriteFontName(GetText(ui_, 主编框, Property::kFontFace));
    WriteFontSize(static_cast<std::int32_t>(GetNumber(ui_, 主编框, Property::kFontSize)));
    WriteTextColour(static_cast<std::int32_t>(kDefaultTextColour));
    WriteFontBold(false);
    WriteFontItalic(false);
    WriteFontStrikeOut(false);
    WriteFontUnderline(false);
    WriteBackdropAlpha(static_cast<std::int32_t>(kDefaultBackdropAlpha));

    ui_.SetProperty(透明滑条, Property::kSliderPosition, kDefaultBackdropAlpha);
    ApplySliderAlpha(ui_);
    const std::int64_t position = GetNumber(ui_, 透明滑条, Property::kSliderPosition);
    ShowStatus(ui_, " --霁川软件 已经为您还原各项设置为初始值.[背景透明]度为:" +
                        ToText(TransparencyPercentage(position)) + "  ");
    WriteBackdropAlpha(static_cast<std::int32_t>(position));
}

}  // namespace yz
