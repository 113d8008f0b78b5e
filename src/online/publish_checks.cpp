#include "online/publish_checks.h"

#include "runtime/text.h"

namespace yz {

namespace {

bool Holds(const Text& text, const Text& sought) {
    return FindText(text, sought) != -1;
}

}  // namespace

std::optional<Text> CheckWork(WorkForm& form) {
    if (form.work_name.empty() || form.work_name == kWorkNamePlaceholder) {
        return Text("书名框不可为空,这么好的作品,总得要个名称吧?");
    }
    if (Holds(form.work_name, "|")) {
        return Text("书名不得带有非法符号,请重新设置您的笔名.");
    }
    if (form.motto == kMottoPlaceholder) {
        form.motto = kSilentMotto;
    }
    if (Holds(form.motto, "|")) {
        return Text("宣言框不得带有非法符号,请重新设置您的笔名.");
    }
    if (form.link == kLinkPlaceholder) {
        return Text("亲 作品链接地址真真的不能没有.");
    }
    if (form.link.empty()) {
        return Text("亲 ! 作品链接地址,是真真的不能没有.");
    }
    if (Holds(form.link, "⊙")) {
        return Text("好像... 链接地址有非法字符(错误提示:0x0522x)");
    }
    if (Holds(form.link, "|")) {
        return Text("链接地址有非法字符,这样好像是不好的.");
    }
    // Works are served over the secure scheme as often as not; either scheme anywhere will do.
    if (!Holds(form.link, "http://") && !Holds(form.link, "https://")) {
        return Text("大侠~~~ 请输入正确的作品链接地址");
    }
    return std::nullopt;
}

}  // namespace yz
