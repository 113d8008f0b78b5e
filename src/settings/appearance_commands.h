#pragma once

// The font and colour commands of the settings menu and the restore of every look to its default.
// Each change takes effect on the editor at once and is stored at once.

#include "runtime/ui_service.h"

namespace yz {

class AppearanceCommands {
  public:
    explicit AppearanceCommands(UiService& ui);

    // "字体大小 Alt+U": the font dialog; a confirmed font goes onto the editor and into the file,
    // a cancelled one changes nothing.
    void FontCommand();
    // "字体颜色 Alt+Y": opens the colour picker's palette; the choice arrives as OnColourChosen.
    void ColourCommand();
    void OnColourChosen();
    // "配置还原 Alt+I": the default look on screen and in the file, backdrop alpha 60. Open panels
    // stay open; the pen name and the tutorial month are not touched.
    void RestoreDefaults();

  private:
    UiService& ui_;
};

}  // namespace yz
