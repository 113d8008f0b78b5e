#pragma once

// The checks a work must pass before it is published, after the pen name's own: the work name,
// the motto and the link. "|" separates the fields of a published work in the server's list, and
// "⊙" is refused in links.

#include <optional>

#include "runtime/types.h"

namespace yz {

inline const Text kWorkNamePlaceholder = "请输入您将展示的作品名";
inline const Text kMottoPlaceholder = "请填写不超过18个汉字(36个字符)的互助宣言";
inline const Text kLinkPlaceholder = "请录入您将展示的作品链接(必须为常用浏览器能正常访问的网址)";
// What a motto left at its placeholder is published as.
inline const Text kSilentMotto = "这家伙赖得不想说话";

struct WorkForm {
    Text work_name;
    Text motto;
    Text link;
};

// The first refusal message, in the order of the checks, or nullopt when the work passes. A motto
// still at its placeholder is replaced by kSilentMotto first (an empty motto is published empty).
std::optional<Text> CheckWork(WorkForm& form);

}  // namespace yz
