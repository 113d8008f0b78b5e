#include "settings/settings_not_saved.h"

#include "settings/config_keys.h"

namespace yz {

void ReportSettingsNotSaved(UiService& ui) {
    ui.MessageBox("设置无法保存到配置文件:\r\n\r\n" + ConfigFilePath() +
                      "\r\n\r\n新的设置只在本次运行中有效.请检查磁盘空间,或文件是否只读.",
                  kMbOk | kMbIconError, "提示：");
}

}  // namespace yz
