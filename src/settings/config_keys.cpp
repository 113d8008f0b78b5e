#include "settings/config_keys.h"

#include <optional>

#include "runtime/config_file.h"
#include "runtime/convert.h"
#include "runtime/files.h"

namespace yz {

namespace {

constexpr char kSection[] = "功能配置";
constexpr char kTrue[] = "真";
constexpr char kFalse[] = "假";

constexpr char kBackdropAlphaKey[] = "透明背景";
constexpr char kTextColourKey[] = "文本颜色";
constexpr char kFontNameKey[] = "字体名称";
constexpr char kFontSizeKey[] = "字体大小";
constexpr char kFontBoldKey[] = "字体加粗";
constexpr char kFontItalicKey[] = "字体倾斜";
constexpr char kFontStrikeOutKey[] = "字体删线";
constexpr char kFontUnderlineKey[] = "字体下线";
constexpr char kPenNameKey[] = "cnhy";
constexpr char kTutorialMonthKey[] = "wikyxqq";

// The path is built on every access, so a changed program directory takes effect at once.
Text Read(const char* key, const std::optional<Text>& default_value = std::nullopt) {
    return ReadConfigItem(ConfigFilePath(), kSection, key, default_value);
}

bool Write(const char* key, const Text& value) {
    return WriteConfigItem(ConfigFilePath(), kSection, Text(key), value);
}

}  // namespace

Text ConfigFilePath() {
    return ProgramDirectory() + "\\砚舟文匣配置文件";
}

bool IsTrueFlag(const Text& value) {
    return value == kTrue;
}

Text FlagText(bool value) {
    return value ? kTrue : kFalse;
}

std::int32_t ReadBackdropAlpha() {
    return ToInteger(Read(kBackdropAlphaKey, "60"));
}

bool WriteBackdropAlpha(std::int32_t alpha) {
    return Write(kBackdropAlphaKey, ToText(alpha));
}

std::int32_t ReadTextColour() {
    return ToInteger(Read(kTextColourKey, "16711824"));
}

bool WriteTextColour(std::int32_t colour) {
    return Write(kTextColourKey, ToText(colour));
}

Text ReadFontName() {
    return Read(kFontNameKey, "宋体");
}

bool WriteFontName(const Text& face) {
    return Write(kFontNameKey, face);
}

std::int32_t ReadFontSize() {
    return ToInteger(Read(kFontSizeKey, "18"));
}

bool WriteFontSize(std::int32_t points) {
    return Write(kFontSizeKey, ToText(points));
}

bool ReadFontBold() {
    return IsTrueFlag(Read(kFontBoldKey));
}

bool ReadFontItalic() {
    return IsTrueFlag(Read(kFontItalicKey, kFalse));
}

bool ReadFontStrikeOut() {
    return IsTrueFlag(Read(kFontStrikeOutKey, kFalse));
}

bool ReadFontUnderline() {
    return IsTrueFlag(Read(kFontUnderlineKey, kFalse));
}

bool WriteFontBold(bool value) {
    return Write(kFontBoldKey, FlagText(value));
}

bool WriteFontItalic(bool value) {
    return Write(kFontItalicKey, FlagText(value));
}

bool WriteFontStrikeOut(bool value) {
    return Write(kFontStrikeOutKey, FlagText(value));
}

bool WriteFontUnderline(bool value) {
    return Write(kFontUnderlineKey, FlagText(value));
}

Text ReadStoredPenName() {
    return Read(kPenNameKey);
}

bool WriteStoredPenName(const Text& pen_name) {
    return Write(kPenNameKey, pen_name);
}

Text ReadTutorialMonth() {
    return Read(kTutorialMonthKey);
}

bool WriteTutorialMonth(const Text& month) {
    return Write(kTutorialMonthKey, month);
}

}  // namespace yz
