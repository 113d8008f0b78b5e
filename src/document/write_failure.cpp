#include "document/write_failure.h"

namespace yz {

void ReportWriteFailure(UiService& ui, const Text& path) {
    ui.MessageBox("文件无法写入:\r\n\r\n" + path + "\r\n\r\n请检查磁盘空间,或文件是否只读.", kMbOk | kMbIconError,
                  "提示：");
}

}  // namespace yz
