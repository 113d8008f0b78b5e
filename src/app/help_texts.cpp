#include "app/help_texts.h"

#include <iterator>

namespace yz {

Text ShortcutHelpText() {
    // Some lines end in blanks; they belong to the text.
    static const char* const kLines[] = {
        "----------------操作菜单----------------",
        "",
        "新建文件  Ctrl + A   保存文件  Ctrl + S ",
        "打开文件  Ctrl + D   添加文件  Ctrl + F ",
        "",
        "----------------编辑菜单----------------",
        "",
        "撤消操作  Ctrl + Z   剪切字符  Ctrl + X",
        "复制字符  Ctrl + C   粘贴字符  Ctrl + V ",
        "",
        "----------------功能菜单----------------",
        "",
        "文档加密  Ctrl + Q  作品展示  Ctrl + W ",
        "文笔交互  Ctrl + E   读取自存  Ctrl + R ",
        "",
        "----------------设置菜单----------------",
        "",
        "背景透明  Ctrl + T   字体颜色  Ctrl + Y ",
        "字体大小  Ctrl + U   配置还原  Ctrl + I ",
        "",
        "----------------其它快捷----------------",
        "",
        "一键隐藏   Esc          清空字符  Del ",
        "",
        "本程序绿色小巧 永久免费 无需安装",
        "霁川软件 出品 用心陪伴每一位写作者",
        "",
        "----------------------------------------",
    };
    Text text = kLines[0];
    for (std::size_t i = 1; i < std::size(kLines); ++i) {
        text += "\r\n";
        text += kLines[i];
    }
    return text;
}

Text PublisherNoticeText() {
    return "\r\n[霁川软件]绿色出品\r\n\r\n客服QQ：2580136479\r\n\r\n支持邮箱：support@jichuan-soft.example";
}

void ShowHideHelp(UiService& ui) {
    ui.MessageBox("[Esc]键     一键隐藏\r\n\r\n程序被隐藏到屏幕右下角托盘图标\r\n\r\n鼠标左键单击托盘图标即可还原.",
                  kMbOk, "功能说明:");
}

void ShowShortcutHelp(UiService& ui) {
    ui.MessageBox(ShortcutHelpText(), kMbOk, "快捷操作帮助说明：");
}

void ShowPublisherNotice(UiService& ui) {
    ui.MessageBox(PublisherNoticeText(), kMbOk, "作者版权：");
}

}  // namespace yz
