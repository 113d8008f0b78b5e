#include "console_pages.h"

#include "server/console/gbk_form.h"

namespace yz::console {

namespace {

std::string Shown(const std::string& gbk) {
    return EscapeHtml(DisplayUtf8(gbk));
}

std::string Field(const char8_t* label, const std::string& gbk) {
    return "<div><span class=\"meta\">" + U8(label) + "</span> " + Shown(gbk) + "</div>";
}

std::string OlderLink(std::string_view path, std::string_view extra, std::int64_t older_than) {
    if (older_than <= 0) {
        return {};
    }
    return "<p><a href=\"" + std::string(path) + "?before=" + std::to_string(older_than) + std::string(extra) +
           U8(u8"\">更早的 »</a></p>");
}

}  // namespace

std::string WorksPage(const WorksListing& listing, std::string_view csrf, const Notice& notice) {
    std::string body =
        U8(u8"<form method=\"get\" action=\"/admin/works\" class=\"row\" role=\"search\">"
           u8"<input type=\"search\" name=\"q\" placeholder=\"笔名、书名、宣言或链接\" value=\"");
    body += EscapeHtml(listing.query);
    body += U8(u8"\"><button>搜索</button></form>");
    body += U8(u8"<p class=\"meta\">发布的作品，最新的在前。删除后程序的作品展示中不再出现。</p>");
    if (listing.works.empty()) {
        body += U8(listing.query.empty() ? u8"<p>还没有作品。</p>" : u8"<p>没有找到符合的作品。</p>");
    }
    for (const server::Work& work : listing.works) {
        const std::string id = std::to_string(work.id);
        body += "<div class=\"item\" id=\"work-" + id + "\">";
        body += Field(u8"笔名", work.pen_name) + Field(u8"书名", work.work_name) + Field(u8"宣言", work.motto);
        body += Field(u8"链接", work.link);
        body += "<div class=\"meta\">#" + id + U8(u8" · ") + FormatTime(work.published_at) + U8(u8" · ") +
                Shown(work.address) + "</div>";
        body +=
            "<div class=\"row\"><a href=\"/admin/records?link=" + EscapeQueryValue(work.link) + U8(u8"\">互助记录</a>");
        body +=
            U8(u8"<form method=\"post\" action=\"/admin/works/delete\" "
               u8"onsubmit=\"return confirm('删除这部作品？')\">");
        body += CsrfField(csrf) + "<input type=\"hidden\" name=\"id\" value=\"" + id + "\">";
        body += U8(u8"<button class=\"danger\" name=\"delete\">删除</button></form></div></div>");
    }
    body += OlderLink("/admin/works", listing.query.empty() ? "" : "&q=" + EscapeQueryValue(listing.query),
                      listing.older_than);
    return SignedInPage(Section::kWorks, U8(u8"作品"), csrf, notice, body);
}

std::string RecordsPage(const std::string& link,
                        const std::vector<std::string>& pen_names,
                        std::string_view csrf,
                        const Notice& notice) {
    std::string body =
        U8(u8"<form method=\"get\" action=\"/admin/records\" class=\"row\">"
           u8"<input type=\"text\" name=\"link\" placeholder=\"作品链接\" value=\"");
    body += Shown(link);
    body += U8(u8"\"><button>查询</button></form>");
    if (!link.empty()) {
        body += U8(u8"<p>作品 <code>") + Shown(link) + U8(u8"</code> 的来访者（先来的在前）：</p>");
        if (pen_names.empty()) {
            body += U8(u8"<p>没有互助记录。</p>");
        }
        body += "<ol>";
        for (const std::string& name : pen_names) {
            body += "<li>" + Shown(name) + "</li>";
        }
        body += "</ol>";
    }
    return SignedInPage(Section::kWorks, U8(u8"互助记录"), csrf, notice, body);
}

std::string FeedbackPage(const std::vector<server::Feedback>& feedback,
                         std::int64_t older_than,
                         std::string_view csrf,
                         const Notice& notice) {
    std::string body = U8(u8"<p class=\"meta\">最新的在前。</p>");
    if (feedback.empty()) {
        body += U8(u8"<p>没有反馈。</p>");
    }
    for (const server::Feedback& item : feedback) {
        const std::string id = std::to_string(item.id);
        body += "<div class=\"item" + std::string(item.read ? "" : " unread") + "\" id=\"feedback-" + id + "\">";
        if (!item.read) {
            body += U8(u8"<span class=\"badge\">未读</span> ");
        }
        body += "<b>" + Shown(item.nickname) + "</b>";
        body += "<div class=\"text\">" + Shown(item.text) + "</div>";
        body += "<div class=\"meta\">#" + id + U8(u8" · ") + FormatTime(item.sent_at) + U8(u8" · ") +
                Shown(item.address) + "</div>";
        if (!item.read) {
            body += "<form method=\"post\" action=\"/admin/feedback/read\">" + CsrfField(csrf) +
                    "<input type=\"hidden\" name=\"id\" value=\"" + id + U8(u8"\"><button>标为已读</button></form>");
        }
        body += "</div>";
    }
    body += OlderLink("/admin/feedback", "", older_than);
    return SignedInPage(Section::kFeedback, U8(u8"反馈"), csrf, notice, body);
}

std::string VersionPage(const std::string& version,
                        std::string_view entered,
                        std::string_view csrf,
                        const Notice& notice) {
    std::string body = U8(u8"<p>程序启动时读取的最新版本号：<b id=\"current-version\">");
    body += version.empty() ? U8(u8"（未设置）") : Shown(version);
    body += U8(u8"</b>。大于程序自身版本时，程序提示有新版本。</p>");
    body += U8(u8"<form method=\"post\" action=\"/admin/version\">") + CsrfField(csrf);
    body +=
        U8(u8"<label for=\"version\">新版本号（十进制数，如 4.3）</label><div class=\"row\">"
           u8"<input type=\"text\" id=\"version\" name=\"version\" inputmode=\"decimal\" required value=\"");
    body += EscapeHtml(entered.empty() ? DisplayUtf8(version) : std::string(entered));
    body += U8(u8"\"><button>保存</button></div></form>");
    return SignedInPage(Section::kVersion, U8(u8"版本"), csrf, notice, body);
}

std::string AnnouncementPage(const server::Announcement& announcement,
                             std::string_view image_address,
                             std::string_view csrf,
                             const Notice& notice) {
    std::string body =
        U8(u8"<p>程序每五分钟显示一次公告：屏幕右下角 360 × 260 的窗口，背景是公告图片，"
           u8"点击打开链接。下面的预览就是写手看到的样子。</p>");
    body += U8(u8"<div class=\"preview\" id=\"preview\" title=\"点击打开：");
    body += Shown(announcement.link);
    body += "\"";
    if (!image_address.empty()) {
        body += " style=\"background-image:url('" + EscapeHtml(image_address) + "')\"";
    }
    body += "></div>";
    body += U8(u8"<p id=\"state\">") +
            U8(announcement.shown ? u8"状态：<b>显示中</b>" : u8"状态：<b>不显示</b>（程序不弹出公告）") + "</p>";
    body += U8(u8"<form method=\"post\" action=\"/admin/announcement\" enctype=\"multipart/form-data\">");
    body += CsrfField(csrf);
    body +=
        U8(u8"<label for=\"image\">公告图片（JPEG、PNG、GIF 或 BMP；不选则保留现有图片）</label>"
           u8"<input type=\"file\" id=\"image\" name=\"image\" accept=\"image/jpeg,image/png,image/gif,image/bmp\">"
           u8"<label for=\"link\">点击公告打开的链接</label>"
           u8"<input type=\"text\" id=\"link\" name=\"link\" value=\"");
    body += Shown(announcement.link);
    body += U8(u8"\"><label><input type=\"checkbox\" id=\"shown\" name=\"shown\" value=\"1\"");
    body += announcement.shown ? " checked" : "";
    body += U8(u8"> 显示公告</label><div class=\"row\"><button id=\"save\">保存</button></div></form>");
    // Shows a newly chosen picture in the preview before it is saved.
    body +=
        U8(u8"<script>document.getElementById('image').addEventListener('change',function(){"
           u8"var f=this.files[0];if(f){document.getElementById('preview').style.backgroundImage="
           u8"'url('+URL.createObjectURL(f)+')';}});</script>");
    return SignedInPage(Section::kAnnouncement, U8(u8"公告"), csrf, notice, body);
}

}  // namespace yz::console
