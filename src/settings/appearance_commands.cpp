#include "settings/appearance_commands.h"

#include "runtime/convert.h"
#include "settings/config_keys.h"
#include "settings/settings_not_saved.h"
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
    // Every key is written even after one failed: each that succeeds is one less to lose.
    bool saved = WriteFontName(GetText(ui_, 主编框, Property::kFontFace));
    saved = WriteFontSize(static_cast<std::int32_t>(GetNumber(ui_, 主编框, Property::kFontSize))) && saved;
    saved = WriteFontBold(GetFlag(ui_, 主编框, Property::kFontBold)) && saved;
    saved = WriteFontItalic(GetFlag(ui_, 主编框, Property::kFontItalic)) && saved;
    saved = WriteFontStrikeOut(GetFlag(ui_, 主编框, Property::kFontStrikeOut)) && saved;
    saved = WriteFontUnderline(GetFlag(ui_, 主编框, Property::kFontUnderline)) && saved;
    if (!saved) {
        ReportSettingsNotSaved(ui_);
    }
}

void AppearanceCommands::ColourCommand() {
    ui_.SendUnitMessage(颜色选择器1, kLeftButtonUpMessage, 0, 0);
}

void AppearanceCommands::OnColourChosen() {
    ui_.SetProperty(主编框, Property::kTextColour, ui_.GetProperty(颜色选择器1, Property::kColour));
    if (!WriteTextColour(static_cast<std::int32_t>(GetNumber(ui_, 主编框, Property::kTextColour)))) {
        ReportSettingsNotSaved(ui_);
    }
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

    bool saved = WriteFontName(GetText(ui_, 主编框, Property::kFontFace));
    saved = WriteFontSize(static_cast<std::int32_t>(GetNumber(ui_, 主编框, Property::kFontSize))) && saved;
    saved = WriteTextColour(static_cast<std::int32_t>(kDefaultTextColour)) && saved;
    saved = WriteFontBold(false) && saved;
    saved = WriteFontItalic(false) && saved;
    saved = WriteFontStrikeOut(false) && saved;
    saved = WriteFontUnderline(false) && saved;
    saved = WriteBackdropAlpha(static_cast<std::int32_t>(kDefaultBackdropAlpha)) && saved;

    ui_.SetProperty(透明滑条, Property::kSliderPosition, kDefaultBackdropAlpha);
    ApplySliderAlpha(ui_);
    const std::int64_t position = GetNumber(ui_, 透明滑条, Property::kSliderPosition);
    saved = WriteBackdropAlpha(static_cast<std::int32_t>(position)) && saved;
    const Text percentage = ToText(TransparencyPercentage(position));
    if (!saved) {
        ShowStatus(ui_, " --霁川软件 各项设置已在屏幕上还原,但无法写入配置文件.[背景透明]度为:" + percentage);
        ReportSettingsNotSaved(ui_);
        return;
    }
    ShowStatus(ui_, " --霁川软件 已经为您还原各项设置为初始值.[背景透明]度为:" + percentage + "  ");
}

}  // namespace yz
