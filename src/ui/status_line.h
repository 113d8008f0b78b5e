#pragma once

// The status line 标题标签: "砚舟文匣 v" + the version text + a tail that begins with " --霁川软件 ".

#include "runtime/ui_service.h"

namespace yz::ui {

inline const Text kVersionText = "4.2";
inline const Text kProductTail = " --霁川软件";

Text StatusText(const Text& tail);
void ShowStatus(UiService& ui, const Text& tail);

}  // namespace yz::ui
