#include "console_html.h"

#include <time.h>

#include <cstdio>

namespace yz::console {

namespace {

const char8_t kStyle[] =
    u8R"css(
*{box-sizing:border-box}
body{margin:0;font:16px/1.55 "Noto Sans CJK SC","WenQuanYi Zen Hei",sans-serif;background:#f5f2ea;color:#222}
header{background:#35495e;color:#fff;padding:.4em .8em;display:flex;flex-wrap:wrap;gap:.3em 1em;align-items:center}
header b{margin-right:auto}
header a{color:#fff;text-decoration:none;padding:.2em .4em;border-radius:4px}
header a.here{background:#5b7590}
header form{margin:0}
main{max-width:52em;margin:0 auto;padding:.8em}
h1{font-size:1.3em;margin:.4em 0}
.item{background:#fff;border:1px solid #ddd;border-radius:6px;padding:.6em .8em;margin:.6em 0;overflow-wrap:anywhere}
.item.unread{border-left:5px solid #c0392b}
.meta{color:#777;font-size:.85em}
.text{white-space:pre-wrap}
.notice{padding:.6em .8em;border-radius:6px;background:#e3f4e1;border:1px solid #9c9}
.notice.error{background:#fbe3e1;border-color:#d99}
.row{display:flex;flex-wrap:wrap;gap:.5em;align-items:center;margin:.5em 0}
.row>input[type=text],.row>input[type=search],.row>input[type=password]{flex:1 1 12em}
input[type=text],input[type=search],input[type=password]{padding:.45em;font-size:1em;border:1px solid #aaa;border-radius:4px;width:100%}
button{padding:.4em .9em;font-size:1em;border-radius:4px;border:1px solid #888;background:#fff}
button.danger{border-color:#c0392b;color:#c0392b}
label{display:block;margin:.6em 0 .2em}
.preview{width:360px;height:260px;max-width:100%;border:1px solid #666;background-color:#f0f0f0;
 background-repeat:no-repeat;background-position:left top;overflow:hidden;box-shadow:0 2px 8px #0004}
.badge{display:inline-block;font-size:.8em;padding:0 .4em;border-radius:3px;background:#c0392b;color:#fff}
)css";

struct MenuEntry {
    Section section;
    const char8_t* path;
    const char8_t* label;
};

const MenuEntry kMenu[] = {
    {Section::kWorks, u8"/admin/works", u8"作品"},
    {Section::kFeedback, u8"/admin/feedback", u8"反馈"},
    {Section::kVersion, u8"/admin/version", u8"版本"},
    {Section::kAnnouncement, u8"/admin/announcement", u8"公告"},
};

std::string Document(std::string_view title, std::string_view header, std::string_view main) {
    std::string page =
        U8(u8"<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
           u8"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>");
    page += EscapeHtml(title);
    page += U8(u8" · 砚舟文匣控制台</title><style>");
    page += U8(kStyle);
    page += U8(u8"</style></head><body><header><b>砚舟文匣控制台</b>");
    page += header;
    page += U8(u8"</header><main>");
    page += main;
    page += U8(u8"</main></body></html>\n");
    return page;
}

std::string NoticeHtml(const Notice& notice) {
    if (notice.text.empty()) {
        return {};
    }
    return U8(notice.error ? u8"<p class=\"notice error\" role=\"alert\">" : u8"<p class=\"notice\" role=\"status\">") +
           EscapeHtml(notice.text) + "</p>";
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string EscapeQueryValue(std::string_view bytes) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            byte == '-' || byte == '.' || byte == '_' || byte == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::string FormatTime(std::int64_t seconds) {
    const time_t value = static_cast<time_t>(seconds);
    tm parts{};
    if (gmtime_r(&value, &parts) == nullptr) {
        return {};
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d UTC", parts.tm_year + 1900, parts.tm_mon + 1,
                  parts.tm_mday, parts.tm_hour, parts.tm_min);
    return text;
}

std::string CsrfField(std::string_view csrf) {
    return "<input type=\"hidden\" name=\"csrf\" value=\"" + EscapeHtml(csrf) + "\">";
}

std::string SignedInPage(Section section,
                         std::string_view title,
                         std::string_view csrf,
                         const Notice& notice,
                         std::string_view body) {
    std::string header = "<nav>";
    for (const MenuEntry& entry : kMenu) {
        header += U8(entry.section == section ? u8"<a class=\"here\" href=\"" : u8"<a href=\"");
        header += U8(entry.path);
        header += "\">";
        header += U8(entry.label);
        header += "</a>";
    }
    header += U8(u8"</nav><form method=\"post\" action=\"/admin/sign-out\">");
    header += CsrfField(csrf);
    header += U8(u8"<button>退出</button></form>");
    std::string main = "<h1>" + EscapeHtml(title) + "</h1>" + NoticeHtml(notice);
    main += body;
    return Document(title, header, main);
}

std::string SignInPage(std::string_view csrf, const Notice& notice) {
    std::string main = U8(u8"<h1>登录</h1>") + NoticeHtml(notice);
    main += U8(u8"<form method=\"post\" action=\"/admin/sign-in\">");
    main += CsrfField(csrf);
    main +=
        U8(u8"<label for=\"password\">管理密码</label><div class=\"row\">"
           u8"<input type=\"password\" id=\"password\" name=\"password\" autocomplete=\"current-password\" "
           u8"required autofocus><button id=\"sign-in\">登录</button></div></form>");
    return Document(U8(u8"登录"), {}, main);
}

std::string ConsoleOffPage() {
    const std::string main =
        U8(u8"<h1>控制台未启用</h1><p>还没有设置管理密码。请在服务器上用管理命令设置：</p>"
           u8"<pre>yanzhou-server --database … set-console-password</pre><p>然后重新打开本页。</p>");
    return Document(U8(u8"控制台未启用"), {}, main);
}

}  // namespace yz::console
