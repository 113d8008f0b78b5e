#include "server/pages/local_pages.h"

#include <arpa/inet.h>

#include <cstdint>

namespace yz::server {

namespace {

std::string LocationOf(std::string address) {
    // A dual-stack listener reports IPv4 callers as IPv4-mapped IPv6 addresses.
    const std::string mapped = "::ffff:";
    if (address.rfind(mapped, 0) == 0) {
        address.erase(0, mapped.size());
    }
    if (address == "::1") {
        return "本机";
    }
    in_addr parsed{};
    if (inet_pton(AF_INET, address.c_str(), &parsed) != 1) {
        return "未知地区";
    }
    const std::uint32_t ip = ntohl(parsed.s_addr);
    if ((ip >> 24) == 127) {
        return "本机";
    }
    const bool private_network =
        (ip >> 24) == 10 || (ip >> 20) == ((172u << 4) | 1u) || (ip >> 16) == ((192u << 8) | 168u);
    return private_network ? "局域网" : "未知地区";
}

}  // namespace

std::string IpLookupPage(const std::string& remote_address) {
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"><title>IP查询</title>"
           "</head><body><center>您的IP是：[" +
           remote_address + "] 来自：" + LocationOf(remote_address) + "</center></body></html>";
}

std::string TutorialPage() {
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
           "<title>砚舟文匣 使用教程</title></head><body>"
           "<h1>砚舟文匣 使用教程</h1>"
           "<p>写作：在主编辑框中输入正文，每按一次回车，程序自动存档当前段落；状态栏显示段落数和字数。</p>"
           "<p>文件：操作菜单中可新建、打开、追加和保存文本文档；加密文档保存为 .kkjx 文件。</p>"
           "<p>外观：设置菜单中可选择字体、颜色和背景透明度。</p>"
           "<p>作品展示：按 Alt+W 打开展示面板，填写笔名、作品名、互助宣言和作品链接后点击展示。"
           "其他作者的作品在窗口底部轮流播报，单击即可互访并留下互助记录。</p>"
           "<p>快捷键：Esc 一键隐藏到托盘，Alt 加字母执行各项菜单命令。</p>"
           "</body></html>";
}

}  // namespace yz::server
