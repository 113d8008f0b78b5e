#pragma once

// Typed access to every key of the configuration file. The file is read when a value is needed
// and written when it changes; nothing is cached, so two readers see each other's writes at once.
// All keys live in section "功能配置" of ProgramDirectory() + "\砚舟文匣配置文件".
// Every Write returns false when the file could not be written.

#include <cstdint>

#include "runtime/types.h"

namespace yz {

Text ConfigFilePath();

// A flag counts as true only when its text equals "真" exactly.
bool IsTrueFlag(const Text& value);
Text FlagText(bool value);

// "透明背景": the backdrop's whole-window alpha; default "60". Read as ToInteger, so a value
// without leading digits gives 0 and the caller applies the 0..255 rule.
std::int32_t ReadBackdropAlpha();
bool WriteBackdropAlpha(std::int32_t alpha);

// "文本颜色": editor text colour 0x00BBGGRR; default 16711824 (0xFF0090).
std::int32_t ReadTextColour();
bool WriteTextColour(std::int32_t colour);

// "字体名称": editor font face; default "宋体".
Text ReadFontName();
bool WriteFontName(const Text& face);

// "字体大小": editor font size in points; default "18".
std::int32_t ReadFontSize();
bool WriteFontSize(std::int32_t points);

// "字体加粗" (no default: missing is not bold), "字体倾斜", "字体删线", "字体下线" (default "假").
bool ReadFontBold();
bool ReadFontItalic();
bool ReadFontStrikeOut();
bool ReadFontUnderline();
bool WriteFontBold(bool value);
bool WriteFontItalic(bool value);
bool WriteFontStrikeOut(bool value);
bool WriteFontUnderline(bool value);

// "cnhy": the stored pen name; missing reads as empty.
Text ReadStoredPenName();
bool WriteStoredPenName(const Text& pen_name);

// "wikyxqq": the month number in which the tutorial page was last opened, as stored text;
// missing reads as empty.
Text ReadTutorialMonth();
bool WriteTutorialMonth(const Text& month);

}  // namespace yz
