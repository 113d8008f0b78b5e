#include "console.h"

#include <algorithm>
#include <charconv>
#include <regex>

#include "runtime/text.h"
#include "server/console/console_html.h"
#include "server/console/console_pages.h"
#include "server/console/console_password.h"
#include "server/console/gbk_form.h"
#include "server/pages/field_rules.h"
#include "server/pages/pictures.h"

namespace yz::console {

namespace {

using httplib::Request;
using httplib::Response;

const char kSessionCookie[] = "yz_console";
const char kPicturePath[] = "/admin/announcement-picture";
const char kSignInCookie[] = "yz_sign_in";
constexpr std::size_t kPageSize = 50;
constexpr std::size_t kSearchBatch = 500;
// A search looks through at most this many of the newest works per page it answers.
constexpr std::size_t kSearchScanLimit = 20000;

// Confirmations after an action, named in the address the action sends the browser to.
const std::pair<const char*, const char8_t*> kConfirmations[] = {
    {"deleted", u8"作品已删除。"},       {"missing", u8"这部作品已不存在。"}, {"read", u8"已标为已读。"},
    {"version", u8"最新版本号已保存。"}, {"announcement", u8"公告已保存。"},
};

std::string CookieValue(const Request& request, std::string_view name) {
    const std::string header = request.get_header_value("Cookie");
    std::string_view rest = header;
    while (!rest.empty()) {
        const auto end = rest.find(';');
        std::string_view pair = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        while (!pair.empty() && pair.front() == ' ') {
            pair.remove_prefix(1);
        }
        const auto equals = pair.find('=');
        if (equals != std::string_view::npos && pair.substr(0, equals) == name) {
            return std::string(pair.substr(equals + 1));
        }
    }
    return {};
}

std::string CookieHeader(std::string_view name, std::string_view value, bool expire = false) {
    std::string header = std::string(name) + "=" + std::string(value) + "; Path=/admin; HttpOnly; SameSite=Strict";
    if (expire) {
        header += "; Max-Age=0";
    }
    return header;
}

// A field of a posted form, URL-encoded or multipart.
std::string FormValue(const Request& request, const char* name) {
    if (request.has_param(name)) {
        return request.get_param_value(name);
    }
    if (request.has_file(name)) {
        return request.get_file_value(name).content;
    }
    return {};
}

std::optional<std::int64_t> Id(const std::string& text) {
    std::int64_t id = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (problem != std::errc() || end != text.data() + text.size() || id <= 0) {
        return std::nullopt;
    }
    return id;
}

void Html(Response& response, int status, const std::string& page) {
    response.status = status;
    // Console pages hold moderation data: never kept by caches, never framed by another site.
    response.set_header("Cache-Control", "no-store");
    response.set_header("X-Frame-Options", "DENY");
    response.set_header("X-Content-Type-Options", "nosniff");
    response.set_header("Referrer-Policy", "no-referrer");
    response.set_content(page, "text/html; charset=utf-8");
}

void Redirect(Response& response, const std::string& location) {
    response.status = 303;
    response.set_header("Location", location);
    response.set_header("Cache-Control", "no-store");
}

// The confirmation an action asked its follow-up page to show.
Notice Confirmation(const Request& request) {
    const std::string done = request.get_param_value("done");
    for (const auto& [code, text] : kConfirmations) {
        if (done == code) {
            return Notice{.error = false, .text = U8(text)};
        }
    }
    return {};
}

Notice Refusal(std::u8string_view text) {
    return Notice{.error = true, .text = U8(text)};
}

// The refusal for a text GBK cannot hold, naming the first character it cannot.
Notice NotGbk(std::u8string_view what, std::string_view utf8) {
    const std::string character = FirstCharacterOutsideGbk(utf8);
    if (character.empty()) {
        return Notice{.error = true, .text = U8(what) + U8(u8"不是有效的 UTF-8 文本。")};
    }
    return Notice{.error = true,
                  .text = U8(what) + U8(u8"含有 GBK 无法表示的字符「") + character +
                          U8(u8"」：程序只能显示 GBK 文字，请换掉它。")};
}

void StoreFailed(Response& response) {
    Html(response, 503, U8(u8"<!DOCTYPE html><meta charset=\"utf-8\"><p>数据库暂时无法访问，请稍后再试。</p>"));
}

// The picture as the console serves it to the maker; the query part only makes a browser fetch a
// replaced picture again instead of showing its cached one.
std::string ImageAddress(const server::Announcement& announcement) {
    if (announcement.image.empty()) {
        return {};
    }
    return std::string(kPicturePath) +
           "?v=" + std::to_string(std::hash<std::string>{}(announcement.image) % 1000000007);
}

bool Matches(const server::Work& work, const std::string& gbk) {
    for (const std::string* field : {&work.pen_name, &work.work_name, &work.motto, &work.link}) {
        if (FindText(*field, gbk, 1, true) > 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

void Console::Bind(httplib::Server& http) {
    const auto route = [this](void (Console::*handler)(const Request&, Response&)) {
        return [this, handler](const Request& request, Response& response) { (this->*handler)(request, response); };
    };
    http.Get("/admin/?", [this](const Request& request, Response& response) {
        if (RequireSession(request, response)) {
            Redirect(response, "/admin/works");
        }
    });
    http.Get("/admin/sign-in", route(&Console::ShowSignIn));
    http.Post("/admin/sign-in", route(&Console::SignIn));
    http.Post("/admin/sign-out", route(&Console::SignOut));
    http.Get("/admin/works", route(&Console::ShowWorks));
    http.Post("/admin/works/delete", route(&Console::DeleteWork));
    http.Get("/admin/records", route(&Console::ShowRecords));
    http.Get("/admin/feedback", route(&Console::ShowFeedback));
    http.Post("/admin/feedback/read", route(&Console::MarkFeedbackRead));
    http.Get("/admin/version", route(&Console::ShowVersion));
    http.Post("/admin/version", route(&Console::SetVersion));
    http.Get("/admin/announcement", route(&Console::ShowAnnouncement));
    http.Post("/admin/announcement", route(&Console::SetAnnouncement));
    http.Get(kPicturePath, route(&Console::ShowPicture));
    // Any other console address: nothing without a session, and nothing to find with one.
    http.Get("/admin/.*", [this](const Request& request, Response& response) {
        if (RequireSession(request, response)) {
            Html(response, 404, U8(u8"<!DOCTYPE html><meta charset=\"utf-8\"><p>没有这个页面。</p>"));
        }
    });
    http.Post("/admin/.*", [this](const Request& request, Response& response) {
        if (RequireAction(request, response)) {
            Html(response, 404, U8(u8"<!DOCTYPE html><meta charset=\"utf-8\"><p>没有这个操作。</p>"));
        }
    });
}

std::optional<Console::Session> Console::FindSession(const Request& request) {
    const std::string id = CookieValue(request, kSessionCookie);
    if (id.empty()) {
        return std::nullopt;
    }
    // A session made under an earlier password ends with it.
    const auto hash = store_.ConsolePasswordHash();
    if (!hash) {
        return std::nullopt;
    }
    auto csrf = sessions_.Touch(id, clock_(), *hash);
    if (!csrf) {
        return std::nullopt;
    }
    return Session{id, std::move(*csrf)};
}

bool Console::RequireOn(Response& response) {
    const auto hash = store_.ConsolePasswordHash();
    if (!hash) {
        StoreFailed(response);
        return false;
    }
    if (hash->empty()) {
        Html(response, 403, ConsoleOffPage());
        return false;
    }
    return true;
}

std::optional<Console::Session> Console::RequireSession(const Request& request, Response& response) {
    if (!RequireOn(response)) {
        return std::nullopt;
    }
    auto session = FindSession(request);
    if (!session) {
        Redirect(response, "/admin/sign-in");
    }
    return session;
}

std::optional<Console::Session> Console::RequireAction(const Request& request, Response& response) {
    if (!RequireOn(response)) {
        return std::nullopt;
    }
    auto session = FindSession(request);
    if (!session) {
        Html(response, 403,
             U8(u8"<!DOCTYPE html><meta charset=\"utf-8\"><p>未登录或登录已过期。"
                u8"<a href=\"/admin/sign-in\">重新登录</a></p>"));
        return std::nullopt;
    }
    if (!SameToken(FormValue(request, "csrf"), session->csrf)) {
        Html(response, 403,
             U8(u8"<!DOCTYPE html><meta charset=\"utf-8\"><p>表单已失效（校验码不符），"
                u8"操作没有执行。请刷新页面后重试。</p>"));
        return std::nullopt;
    }
    return session;
}

void Console::ShowSignIn(const Request& request, Response& response) {
    if (!RequireOn(response)) {
        return;
    }
    if (FindSession(request)) {
        Redirect(response, "/admin/works");
        return;
    }
    const std::string token = RandomToken();
    response.set_header("Set-Cookie", CookieHeader(kSignInCookie, token));
    Html(response, 200, SignInPage(token, {}));
}

void Console::SignIn(const Request& request, Response& response) {
    if (!RequireOn(response)) {
        return;
    }
    // Every answer but success shows a fresh form with a fresh token.
    const auto refuse = [&](int status, const Notice& notice) {
        const std::string token = RandomToken();
        response.set_header("Set-Cookie", CookieHeader(kSignInCookie, token));
        Html(response, status, SignInPage(token, notice));
    };
    const std::string& address = request.remote_addr;
    const std::int64_t now = clock_();
    if (!SameToken(FormValue(request, "csrf"), CookieValue(request, kSignInCookie))) {
        refuse(403, Refusal(u8"登录表单已失效，请重新输入密码。"));
        return;
    }
    // The attempt is counted before the password is looked at, one at a time per address.
    std::int64_t wait = 0;
    const auto claimed = throttle_.Claim(address, now, wait);
    if (!claimed) {
        StoreFailed(response);
        return;
    }
    if (!*claimed) {
        response.set_header("Retry-After", std::to_string(std::max<std::int64_t>(wait, 1)));
        refuse(429, Notice{.error = true,
                           .text = wait > 0 ? U8(u8"密码错误次数过多，请 ") + std::to_string(wait) + U8(u8" 秒后再试。")
                                            : U8(u8"上一次登录还在验证中，请稍后再试。")});
        return;
    }
    const auto hash = store_.ConsolePasswordHash();
    if (!hash) {
        throttle_.Release(address, now, false);
        StoreFailed(response);
        return;
    }
    const PasswordCheck check = CheckConsolePassword(*hash, FormValue(request, "password"));
    throttle_.Release(address, now, check == PasswordCheck::kRight);
    if (check == PasswordCheck::kBusy) {
        response.set_header("Retry-After", "1");
        refuse(503, Refusal(u8"正在验证其他登录，请稍后再试。"));
        return;
    }
    if (check == PasswordCheck::kWrong) {
        refuse(403, Refusal(u8"密码不正确。"));
        return;
    }
    const auto session = sessions_.Start(now, *hash);
    if (!session) {
        StoreFailed(response);
        return;
    }
    response.set_header("Set-Cookie", CookieHeader(kSessionCookie, session->id));
    response.set_header("Set-Cookie", CookieHeader(kSignInCookie, "", true));
    Redirect(response, "/admin/works");
}

void Console::SignOut(const Request& request, Response& response) {
    const auto session = RequireAction(request, response);
    if (!session) {
        return;
    }
    if (!sessions_.End(session->id)) {
        return StoreFailed(response);
    }
    response.set_header("Set-Cookie", CookieHeader(kSessionCookie, "", true));
    Redirect(response, "/admin/sign-in");
}

void Console::ShowWorks(const Request& request, Response& response) {
    const auto session = RequireSession(request, response);
    if (!session) {
        return;
    }
    WorksListing listing{.query = request.get_param_value("q")};
    std::int64_t cursor = Id(request.get_param_value("before")).value_or(0);
    Notice notice = Confirmation(request);
    if (listing.query.empty()) {
        const auto works = store_.ListWorks(cursor, kPageSize + 1);
        if (!works) {
            return StoreFailed(response);
        }
        listing.works = *works;
        if (listing.works.size() > kPageSize) {
            listing.works.pop_back();
            listing.older_than = listing.works.back().id;
        }
    } else if (const auto sought = StrictGbkFromUtf8(listing.query); !sought) {
        notice = NotGbk(u8"搜索词", listing.query);
    } else {
        // Works hold GBK texts: the search runs here, on character boundaries, not in the database.
        std::size_t scanned = 0;
        bool more = true;
        while (more && listing.works.size() < kPageSize && scanned < kSearchScanLimit) {
            const auto batch = store_.ListWorks(cursor, kSearchBatch);
            if (!batch) {
                return StoreFailed(response);
            }
            more = batch->size() == kSearchBatch;
            for (std::size_t i = 0; i < batch->size(); ++i) {
                const server::Work& work = (*batch)[i];
                ++scanned;
                cursor = work.id;
                if (Matches(work, *sought)) {
                    listing.works.push_back(work);
                    if (listing.works.size() == kPageSize) {
                        more = more || i + 1 < batch->size();
                        break;
                    }
                }
            }
        }
        listing.older_than = more ? cursor : 0;
    }
    Html(response, notice.error ? 400 : 200, WorksPage(listing, session->csrf, notice));
}

void Console::DeleteWork(const Request& request, Response& response) {
    if (!RequireAction(request, response)) {
        return;
    }
    const auto id = Id(FormValue(request, "id"));
    const auto deleted = id ? store_.DeleteWork(*id) : std::optional<bool>(false);
    if (!deleted) {
        return StoreFailed(response);
    }
    if (*deleted && works_changed_) {
        works_changed_();
    }
    Redirect(response, *deleted ? "/admin/works?done=deleted" : "/admin/works?done=missing");
}

void Console::ShowRecords(const Request& request, Response& response) {
    const auto session = RequireSession(request, response);
    if (!session) {
        return;
    }
    const std::string typed = request.get_param_value("link");
    const auto link = StrictGbkFromUtf8(typed);
    if (!link) {
        Html(response, 400, RecordsPage({}, {}, session->csrf, NotGbk(u8"作品链接", typed)));
        return;
    }
    std::vector<std::string> names;
    if (!link->empty()) {
        const auto found = store_.ListRecords(*link, 10000);
        if (!found) {
            return StoreFailed(response);
        }
        names = *found;
    }
    Html(response, 200, RecordsPage(*link, names, session->csrf, {}));
}

void Console::ShowFeedback(const Request& request, Response& response) {
    const auto session = RequireSession(request, response);
    if (!session) {
        return;
    }
    auto list = store_.ListFeedback(Id(request.get_param_value("before")).value_or(0), kPageSize + 1);
    if (!list) {
        return StoreFailed(response);
    }
    std::int64_t older_than = 0;
    if (list->size() > kPageSize) {
        list->pop_back();
        older_than = list->back().id;
    }
    Html(response, 200, FeedbackPage(*list, older_than, session->csrf, Confirmation(request)));
}

void Console::MarkFeedbackRead(const Request& request, Response& response) {
    if (!RequireAction(request, response)) {
        return;
    }
    const auto id = Id(FormValue(request, "id"));
    if (id && !store_.MarkFeedbackRead(*id)) {
        return StoreFailed(response);
    }
    Redirect(response, "/admin/feedback?done=read");
}

void Console::ShowVersion(const Request& request, Response& response) {
    const auto session = RequireSession(request, response);
    if (!session) {
        return;
    }
    const auto version = store_.LatestVersion();
    if (!version) {
        return StoreFailed(response);
    }
    Html(response, 200, VersionPage(*version, {}, session->csrf, Confirmation(request)));
}

void Console::SetVersion(const Request& request, Response& response) {
    const auto session = RequireAction(request, response);
    if (!session) {
        return;
    }
    const std::string entered = FormValue(request, "version");
    // The program reads the answer as a decimal number: anything else would read as 0.
    if (entered.size() > 16 || !std::regex_match(entered, std::regex("[0-9]+(\\.[0-9]+)?"))) {
        const auto version = store_.LatestVersion();
        if (!version) {
            return StoreFailed(response);
        }
        Html(response, 400,
             VersionPage(*version, entered, session->csrf, Refusal(u8"版本号必须是十进制数，例如 4.3。")));
        return;
    }
    if (!store_.SetLatestVersion(entered)) {
        return StoreFailed(response);
    }
    Redirect(response, "/admin/version?done=version");
}

void Console::ShowAnnouncement(const Request& request, Response& response) {
    const auto session = RequireSession(request, response);
    if (!session) {
        return;
    }
    const auto announcement = store_.GetAnnouncement();
    if (!announcement) {
        return StoreFailed(response);
    }
    Html(response, 200,
         AnnouncementPage(*announcement, ImageAddress(*announcement), session->csrf, Confirmation(request)));
}

void Console::ShowPicture(const Request& request, Response& response) {
    if (!RequireSession(request, response)) {
        return;
    }
    const auto announcement = store_.GetAnnouncement();
    if (!announcement) {
        return StoreFailed(response);
    }
    if (announcement->image.empty()) {
        response.status = 404;
        return;
    }
    response.set_header("X-Content-Type-Options", "nosniff");
    response.set_content(announcement->image,
                         announcement->image_type == "jpg" ? "image/jpeg" : "image/" + announcement->image_type);
}

void Console::SetAnnouncement(const Request& request, Response& response) {
    const auto session = RequireAction(request, response);
    if (!session) {
        return;
    }
    auto announcement = store_.GetAnnouncement();
    if (!announcement) {
        return StoreFailed(response);
    }
    // A refusal shows what is stored: nothing of this form has been taken.
    const server::Announcement stored = *announcement;
    const auto refuse = [&](const Notice& notice) {
        Html(response, 400, AnnouncementPage(stored, ImageAddress(stored), session->csrf, notice));
    };
    const std::string picture = FormValue(request, "image");
    if (!picture.empty()) {
        if (picture.size() > kImageLimit) {
            return refuse(Refusal(u8"图片不能大于 1 MiB。"));
        }
        const auto type = server::PictureType(picture);
        if (!type) {
            return refuse(Refusal(u8"图片须为完整的 JPEG、PNG、GIF 或 BMP 文件（文件已损坏或并非图片）。"));
        }
        announcement->image = picture;
        announcement->image_type = *type;
    }
    const std::string typed_link = FormValue(request, "link");
    const auto link = StrictGbkFromUtf8(typed_link);
    if (!link) {
        return refuse(NotGbk(u8"链接", typed_link));
    }
    // The program cuts the announcement answer at this mark: a link holding it would shift the flag.
    if (FindText(*link, "●") > 0 || link->find_first_of("\r\n") != std::string::npos) {
        return refuse(Refusal(u8"链接不能含有“●”或换行：程序用“●”分隔公告的各部分。"));
    }
    // Every program hands the link to the system's shell when the picture is clicked.
    if (!link->empty() && !server::IsWebLink(*link)) {
        return refuse(Refusal(u8"链接必须以 http:// 或 https:// 开头，且不能含有空格、反斜杠或控制字符。"));
    }
    announcement->link = *link;
    announcement->shown = FormValue(request, "shown") == "1";
    if (announcement->shown && announcement->image.empty()) {
        return refuse(Refusal(u8"要显示公告，请先上传公告图片。"));
    }
    if (!store_.SetAnnouncement(*announcement)) {
        return StoreFailed(response);
    }
    Redirect(response, "/admin/announcement?done=announcement");
}

}  // namespace yz::console
