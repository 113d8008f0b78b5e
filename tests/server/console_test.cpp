// The web console over loopback, as a browser would use it: off until a password is set, nothing
// without a session and the session's CSRF token, slowed-down guessing, the GBK texts shown as
// UTF-8 and taken back as GBK, and each change visible in the program's answers.

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <regex>
#include <thread>

#include "server/console/console_front.h"
#include "server/console/console_html.h"
#include "server/console/console_password.h"
#include "server/live_server.h"

namespace yz::test {
namespace {

using console::U8;

const char kPassword[] = "correct horse 砚";

// A browser's side of the console: its cookies and the CSRF token of the last page.
class Browser {
  public:
    explicit Browser(int port) : client_("127.0.0.1", port) {}

    httplib::Result Get(const std::string& path) { return Remember(client_.Get(path.c_str(), Cookies())); }
    httplib::Result Post(const std::string& path, httplib::Params params, bool with_token = true) {
        if (with_token) {
            params.emplace("csrf", csrf_);
        }
        return Remember(client_.Post(path.c_str(), Cookies(), params));
    }
    httplib::Result PostMultipart(const std::string& path, httplib::MultipartFormDataItems items) {
        items.push_back({"csrf", csrf_, "", ""});
        return Remember(client_.Post(path.c_str(), Cookies(), items));
    }
    // Signs in with `password` and, when that worked, opens a page to learn the session's token;
    // the status of the sign-in answer.
    int SignIn(const std::string& password) {
        const auto form = Get("/admin/sign-in");
        if (!form || form->status != 200) {
            return form ? form->status : 0;
        }
        const auto answer = Post("/admin/sign-in", {{"password", password}});
        if (answer && answer->status == 303) {
            Get("/admin/works");
        }
        return answer ? answer->status : 0;
    }

    std::map<std::string, std::string> cookies;
    std::string csrf_;

  private:
    httplib::Headers Cookies() const {
        std::string header;
        for (const auto& [name, value] : cookies) {
            header += (header.empty() ? "" : "; ") + name + "=" + value;
        }
        return header.empty() ? httplib::Headers{} : httplib::Headers{{"Cookie", header}};
    }
    httplib::Result Remember(httplib::Result result) {
        if (!result) {
            return result;
        }
        for (std::size_t i = 0; i < result->get_header_value_count("Set-Cookie"); ++i) {
            static const std::regex kCookie("([^=]+)=([^;]*);.*");
            std::smatch match;
            const std::string header = result->get_header_value("Set-Cookie", i);
            if (std::regex_match(header, match, kCookie)) {
                if (header.find("Max-Age=0") != std::string::npos) {
                    cookies.erase(match[1]);
                } else {
                    cookies[match[1]] = match[2];
                }
            }
        }
        static const std::regex kToken("name=\"csrf\" value=\"([0-9a-f]+)\"");
        std::smatch match;
        if (std::regex_search(result->body, match, kToken)) {
            csrf_ = match[1];
        }
        return result;
    }

    httplib::Client client_;
};

// A console of its own on `store`, on a clock that stands still: no address's wait runs out while a
// test's guesses are still arriving, however slowly a loaded machine serves them.
class StillClockConsole {
  public:
    explicit StillClockConsole(server::Store& store)
        : console_(store, [] { return std::int64_t{1000}; }),
          front_(console_),
          port_(front_.Bind("127.0.0.1", 0)),
          serving_([this] { front_.Run(); }) {}
    ~StillClockConsole() {
        front_.Stop();
        serving_.join();
    }
    int port() const { return port_; }

  private:
    console::Console console_;
    console::ConsoleFront front_;
    int port_;
    std::thread serving_;
};

class ConsoleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server_.store().SetConsolePasswordHash(console::HashConsolePassword(kPassword)));
    }

    void Publish(const std::string& pen, const std::string& work, const std::string& link) {
        ASSERT_EQ(server_.Get("/tjfb.asp?zz=" + pen + "&sm=" + work + "&fy=motto&zplj=" + link).body, "作品发布成功!");
    }
    std::string Showcase() { return server_.Get("/cxzp.asp").body; }

    LiveServer server_;
    Browser browser_{server_.console_port()};
};

TEST(ConsoleOffTest, EveryAddressSaysOffUntilAPasswordIsSet) {
    LiveServer server;
    // Only on its own port: nothing the public pages serve shares the console's origin.
    EXPECT_EQ(server.Get("/admin/sign-in").status, 404);
    Browser browser(server.console_port());
    for (const char* path : {"/admin/", "/admin/sign-in", "/admin/works", "/admin/nothing"}) {
        const auto answer = browser.Get(path);
        ASSERT_TRUE(answer) << path;
        EXPECT_EQ(answer->status, 403) << path;
        EXPECT_NE(answer->body.find(U8(u8"控制台未启用")), std::string::npos) << path;
    }
    const auto sign_in = browser.Post("/admin/sign-in", {{"password", ""}});
    EXPECT_EQ(sign_in->status, 403);
    EXPECT_TRUE(browser.cookies.empty());
    ASSERT_TRUE(server.store().SetConsolePasswordHash(console::HashConsolePassword(kPassword)));
    EXPECT_EQ(browser.Get("/admin/works")->status, 303);
    EXPECT_EQ(browser.SignIn(kPassword), 303);
}

TEST_F(ConsoleTest, NothingAnswersWithoutASessionAndNoActionWithoutItsToken) {
    Publish("spam", "buy", "http://spam/");
    const std::string id = std::to_string(server_.store().ListWorks(0, 1)->front().id);
    for (const char* path : {"/admin/", "/admin/works", "/admin/records?link=http://spam/", "/admin/feedback",
                             "/admin/version", "/admin/announcement", "/admin/other"}) {
        const auto answer = browser_.Get(path);
        ASSERT_TRUE(answer) << path;
        EXPECT_EQ(answer->status, 303) << path;
        EXPECT_EQ(answer->get_header_value("Location"), "/admin/sign-in") << path;
        EXPECT_EQ(answer->body.find("spam"), std::string::npos) << path;
    }
    // A made-up session is no session.
    browser_.cookies["yz_console"] = std::string(64, 'a');
    EXPECT_EQ(browser_.Get("/admin/works")->status, 303);
    const httplib::Params actions[] = {{{"id", id}}, {{"version", "9"}}, {{"link", "x"}}, {}};
    const char* paths[] = {"/admin/works/delete", "/admin/version", "/admin/announcement", "/admin/sign-out"};
    for (std::size_t i = 0; i < std::size(paths); ++i) {
        EXPECT_EQ(browser_.Post(paths[i], actions[i], false)->status, 403) << paths[i];
    }

    ASSERT_EQ(browser_.SignIn(kPassword), 303);
    const std::string token = browser_.csrf_;
    browser_.csrf_ = std::string(64, '0');
    EXPECT_EQ(browser_.Post("/admin/works/delete", {{"id", id}})->status, 403);
    EXPECT_EQ(browser_.Post("/admin/works/delete", {{"id", id}}, false)->status, 403) << "no token at all";
    EXPECT_EQ(browser_.Post("/admin/version", {{"version", "9"}})->status, 403);
    EXPECT_EQ(Showcase(), "spam|buy|motto|http://spam/");
    EXPECT_EQ(server_.Get("/ybtwzp.asp?id=1").body, "");

    browser_.csrf_ = token;
    const auto deleted = browser_.Post("/admin/works/delete", {{"id", id}});
    EXPECT_EQ(deleted->status, 303);
    EXPECT_EQ(deleted->get_header_value("Location"), "/admin/works?done=deleted");
    EXPECT_EQ(Showcase(), "");
}

// Sessions are kept in the store: a second server on the same database takes the cookie, and
// signing out or changing the password there ends the session on both.
TEST_F(ConsoleTest, SignInGivesAStrictHttpOnlyCookieAndSignOutEndsTheSessionOnEveryServer) {
    const auto form = browser_.Get("/admin/sign-in");
    ASSERT_EQ(form->status, 200);
    EXPECT_NE(form->get_header_value("Set-Cookie").find("HttpOnly; SameSite=Strict"), std::string::npos);
    const std::string sign_in_token = browser_.csrf_;
    browser_.csrf_ = std::string(64, 'f');
    EXPECT_EQ(browser_.Post("/admin/sign-in", {{"password", kPassword}})->status, 403) << "form token must match";
    EXPECT_EQ(browser_.cookies.count("yz_console"), 0u);

    const auto signed_in = browser_.Post("/admin/sign-in", {{"password", kPassword}});
    ASSERT_EQ(signed_in->status, 303);
    EXPECT_EQ(signed_in->get_header_value("Location"), "/admin/works");
    const std::string cookie = signed_in->get_header_value("Set-Cookie");
    EXPECT_TRUE(std::regex_match(cookie, std::regex("yz_console=[0-9a-f]{64}; Path=/admin; HttpOnly; SameSite=Strict")))
        << cookie;
    EXPECT_NE(browser_.csrf_, sign_in_token);
    const auto works = browser_.Get("/admin/works");
    ASSERT_EQ(works->status, 200);
    EXPECT_EQ(works->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_EQ(works->get_header_value("Cache-Control"), "no-store");

    LiveServer second(server_.database());
    Browser there(second.console_port());
    there.cookies = browser_.cookies;
    ASSERT_EQ(there.Get("/admin/version")->status, 200);
    EXPECT_EQ(there.csrf_, browser_.csrf_) << "one session, one token";
    EXPECT_EQ(there.Post("/admin/version", {{"version", "5.1"}})->status, 303);
    EXPECT_EQ(server_.Get("/ybtwzp.asp?id=1").body, "5.1");

    const std::string session = browser_.cookies["yz_console"];
    EXPECT_EQ(there.Post("/admin/sign-out", {})->status, 303);
    browser_.cookies["yz_console"] = session;  // a copy kept by someone else
    EXPECT_EQ(browser_.Get("/admin/works")->status, 303);
    EXPECT_EQ(browser_.Post("/admin/version", {{"version", "6"}})->status, 403);

    // A password change (set-console-password, from any process) ends the sessions made before.
    ASSERT_EQ(browser_.SignIn(kPassword), 303);
    there.cookies = browser_.cookies;
    ASSERT_EQ(there.Get("/admin/works")->status, 200);
    ASSERT_TRUE(second.store().SetConsolePasswordHash(console::HashConsolePassword("another long password")));
    EXPECT_EQ(browser_.Get("/admin/works")->status, 303);
    EXPECT_EQ(there.Get("/admin/works")->status, 303);
}

// The count is kept in the store: wrong passwords through one server slow the next attempt
// through another server on the same database down just the same.
TEST_F(ConsoleTest, RepeatedWrongPasswordsAreSlowedDown) {
    // Two consoles of their own on the same store, on a clock the test moves.
    std::atomic<std::int64_t> now = 1000;
    console::Console console(server_.store(), [&now] { return now.load(); });
    console::Console other_console(server_.store(), [&now] { return now.load(); });
    httplib::Server http;
    httplib::Server other_http;
    console.Bind(http);
    other_console.Bind(other_http);
    const int port = http.bind_to_any_port("127.0.0.1");
    const int other_port = other_http.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    ASSERT_GT(other_port, 0);
    std::thread serving([&http] { http.listen_after_bind(); });
    std::thread other_serving([&other_http] { other_http.listen_after_bind(); });
    Browser browser(port);
    for (int i = 0; i < console::SignInThrottle::kFreeFailures + 1; ++i) {
        EXPECT_EQ(browser.SignIn("wrong password"), 403) << i;
    }
    // Now even the right password waits its turn, and trying does not make it count.
    Browser elsewhere(other_port);
    ASSERT_EQ(elsewhere.Get("/admin/sign-in")->status, 200);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(elsewhere.Post("/admin/sign-in", {{"password", kPassword}})->status, 429);
        const auto refused = browser.Post("/admin/sign-in", {{"password", kPassword}});
        EXPECT_EQ(refused->status, 429);
        EXPECT_EQ(refused->get_header_value("Retry-After"), "1");
        EXPECT_NE(refused->body.find(U8(u8"秒后再试")), std::string::npos);
    }
    EXPECT_EQ(browser.cookies.count("yz_console"), 0u);
    now += 1;
    EXPECT_EQ(browser.Post("/admin/sign-in", {{"password", kPassword}})->status, 303);
    // Another wrong password later starts from a clean count.
    Browser other(port);
    EXPECT_EQ(other.SignIn("wrong password"), 403);
    EXPECT_EQ(other.SignIn(kPassword), 303);
    http.stop();
    other_http.stop();
    serving.join();
    other_serving.join();
}

// Wrong passwords sent in parallel from one address are checked no more often than one after
// the other would be: each attempt is claimed before its check, one check in flight.
TEST_F(ConsoleTest, ParallelWrongPasswordsCannotRaceTheThrottle) {
    constexpr int kAttempts = 60;
    StillClockConsole still(server_.store());
    ASSERT_GT(still.port(), 0);
    std::vector<std::unique_ptr<Browser>> browsers;
    for (int i = 0; i < kAttempts; ++i) {
        browsers.push_back(std::make_unique<Browser>(still.port()));
        ASSERT_EQ(browsers.back()->Get("/admin/sign-in")->status, 200);
    }
    std::atomic<int> checked = 0;
    std::atomic<int> answered = 0;
    std::vector<std::thread> threads;
    for (auto& browser : browsers) {
        threads.emplace_back([&, b = browser.get()] {
            const auto answer = b->Post("/admin/sign-in", {{"password", "wrong password"}});
            answered += answer ? 1 : 0;
            checked += answer && answer->body.find(U8(u8"密码不正确")) != std::string::npos;
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    // The library's short listen backlog may make a few of the sixty wait past the client's time-out.
    EXPECT_GT(answered, kAttempts / 2);
    EXPECT_GE(checked, 1);
    EXPECT_LE(checked, console::SignInThrottle::kFreeFailures + 1);
}

// Guessing from many addresses at once neither queues checks nor holds the public pages up: a
// sign-in that finds another check running is answered 503 at once, each address is checked no
// more often than the throttle allows, and a writer's showcase request is answered meanwhile.
TEST_F(ConsoleTest, GuessesFromManyAddressesAreRefusedBusyAndLeaveThePagesServed) {
    constexpr int kAddresses = 20;
    constexpr int kGuessesEach = 8;
    StillClockConsole still(server_.store());
    ASSERT_GT(still.port(), 0);
    // The form token is only the browser's cookie echoed in the form: a guess is one request.
    const std::string token(64, 'a');
    const std::string body = "csrf=" + token + "&password=wrong+password";
    const std::string guess =
        "POST /admin/sign-in HTTP/1.0\r\nHost: 127.0.0.1\r\nCookie: yz_sign_in=" + token +
        "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " + std::to_string(body.size()) +
        "\r\n\r\n" + body;
    std::atomic<int> checked = 0;
    std::atomic<int> busy = 0;
    std::atomic<int> unanswered = 0;
    std::atomic<int> done = 0;
    std::vector<std::thread> guessers;
    for (int a = 0; a < kAddresses; ++a) {
        guessers.emplace_back([&, source = "127.0.0." + std::to_string(2 + a)] {
            for (int i = 0; i < kGuessesEach; ++i) {
                const std::string answer = RawExchange(still.port(), guess, source);
                checked += answer.find(U8(u8"密码不正确")) != std::string::npos;
                busy += answer.rfind("HTTP/1.1 503", 0) == 0;
                unanswered += answer.empty();
            }
            ++done;
        });
    }
    // A writer's fetch that waited for the checks would run past this guard and fail.
    constexpr int kGuardSeconds = 2;
    do {
        EXPECT_EQ(RawGet(server_.port(), "/cxzp.asp", "127.0.0.99", kGuardSeconds).status, 200);
    } while (done < kAddresses);
    for (auto& guesser : guessers) {
        guesser.join();
    }
    EXPECT_EQ(unanswered, 0);
    EXPECT_GE(checked, 1);
    EXPECT_LE(checked, kAddresses * (console::SignInThrottle::kFreeFailures + 1));
    EXPECT_GE(busy, 1) << "checks asked for together must not queue for the one running";
}

TEST_F(ConsoleTest, WorksShowAsUtf8AndSearchFindsChineseWordsOnCharacterBoundaries) {
    Publish("青山客", "砚边集", "http://a/1");
    Publish("广告", "免费", "http://spam/");
    Publish("啊啊", "w", "http://a/2");  // B0 A1 B0 A1: A1 B0 in the middle is "“"
    ASSERT_EQ(browser_.SignIn(kPassword), 303);
    const auto all = browser_.Get("/admin/works");
    ASSERT_EQ(all->status, 200);
    const auto newest = all->body.find(U8(u8"广告"));
    const auto oldest = all->body.find(U8(u8"青山客"));
    ASSERT_NE(oldest, std::string::npos);
    EXPECT_LT(newest, oldest) << "newest first";

    const auto found = browser_.Get("/admin/works?q=%E7%A0%9A%E8%BE%B9");  // 砚边
    ASSERT_EQ(found->status, 200);
    EXPECT_NE(found->body.find(U8(u8"砚边集")), std::string::npos);
    EXPECT_EQ(found->body.find(U8(u8"广告")), std::string::npos);
    // A byte-wise search would find "“" (A1 B0) across the two characters of 啊啊.
    const auto none = browser_.Get("/admin/works?q=%E2%80%9C");
    ASSERT_EQ(none->status, 200);
    EXPECT_EQ(none->body.find("http://a/2"), std::string::npos);
    EXPECT_NE(browser_.Get("/admin/works?q=%E5%95%8A")->body.find("http://a/2"), std::string::npos);

    const auto refused = browser_.Get("/admin/works?q=%F0%9F%8E%89");
    EXPECT_EQ(refused->status, 400);
    EXPECT_NE(refused->body.find(U8(u8"GBK 无法表示的字符「\U0001F389」")), std::string::npos);

    ASSERT_TRUE(server_.store().AddRecord("http://a/1", "墨客"));
    const auto records = browser_.Get("/admin/records?link=http%3A%2F%2Fa%2F1");
    EXPECT_NE(records->body.find(U8(u8"<li>墨客</li>")), std::string::npos);
}

TEST_F(ConsoleTest, FeedbackNewestFirstAndMarkedAsRead) {
    ASSERT_EQ(server_.Get("/jyfk.asp?nc=甲&zw=第一条反馈意见内容").body, "56822");
    ASSERT_EQ(server_.Get("/jyfk.asp?nc=乙&zw=第二条反馈意见内容").body, "56822");
    ASSERT_EQ(browser_.SignIn(kPassword), 303);
    const auto inbox = browser_.Get("/admin/feedback");
    ASSERT_LT(inbox->body.find(U8(u8"第二条")), inbox->body.find(U8(u8"第一条")));
    const auto older = server_.store().ListFeedback(0, 10)->back().id;
    EXPECT_EQ(browser_.Post("/admin/feedback/read", {{"id", std::to_string(older)}})->status, 303);
    const auto list = server_.store().ListFeedback(0, 10);
    EXPECT_FALSE(list->front().read);
    EXPECT_TRUE(list->back().read);
    EXPECT_NE(browser_.Get("/admin/feedback?done=read")->body.find(U8(u8"已标为已读")), std::string::npos);
}

TEST_F(ConsoleTest, VersionMustBeADecimalNumber) {
    ASSERT_EQ(browser_.SignIn(kPassword), 303);
    for (const char* bad : {"v5", "", "4.", "4.3\n", "1e3", "99999999999999999"}) {
        EXPECT_EQ(browser_.Post("/admin/version", {{"version", bad}})->status, 400) << bad;
    }
    EXPECT_EQ(server_.Get("/ybtwzp.asp?id=1").body, "");
    EXPECT_EQ(browser_.Post("/admin/version", {{"version", "4.3"}})->status, 303);
    EXPECT_EQ(server_.Get("/ybtwzp.asp?id=1").body, "4.3");
    EXPECT_NE(browser_.Get("/admin/version")->body.find("<b id=\"current-version\">4.3</b>"), std::string::npos);
}

TEST_F(ConsoleTest, AnnouncementTakesAPictureAndAGbkLinkAndRefusesTheRest) {
    ASSERT_EQ(browser_.SignIn(kPassword), 303);
    // One white pixel.
    const std::string png(
        "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00\x00\x01\x08\x02\x00"
        "\x00\x00\x90\x77\x53\xde\x00\x00"
        "\x00\x0c\x49\x44\x41\x54\x78\x9c\x63\xf8\xff\xff\x3f\x00\x05\xfe\x02\xfe\x0d\xef\x46\xb8\x00\x00\x00\x00\x49"
        "\x45\x4e\x44\xae\x42\x60\x82",
        69);
    const auto post = [&](const std::string& picture, const std::string& link, bool shown) {
        httplib::MultipartFormDataItems items{{"image", picture, "ad.png", "image/png"}, {"link", link, "", ""}};
        if (shown) {
            items.push_back({"shown", "1", "", ""});
        }
        return browser_.PostMultipart("/admin/announcement", items)->status;
    };
    EXPECT_EQ(post("", "http://a/", true), 400) << "shown needs a picture";
    EXPECT_EQ(post("MZ not a picture", "http://a/", true), 400);
    // Pictures are read through, not known by their first bytes: a page behind a GIF header, a
    // cut-off picture.
    EXPECT_EQ(post("GIF89a<html><script>alert(1)</script>", "http://a/", true), 400);
    EXPECT_EQ(post(png.substr(0, png.size() - 1), "http://a/", true), 400);
    EXPECT_EQ(post(std::string(console::kImageLimit, '\0').replace(0, 8, png.substr(0, 8)) + "x", "", true), 400);
    EXPECT_EQ(post(png, U8(u8"http://a/活动\U0001F389"), true), 400);
    EXPECT_EQ(post(png, U8(u8"http://a/●"), true), 400);
    EXPECT_EQ(post(png, "http://a/\r\nx", true), 400);
    EXPECT_EQ(server_.Get("/lszbgg.asp?id=1").body, "") << "nothing refused is stored";

    EXPECT_EQ(post(png, U8(u8"http://a/活动"), true), 303);
    EXPECT_EQ(server_.Get("/lszbgg.asp?id=1").body, "announcement.png●http://a/活动●真");
    EXPECT_EQ(server_.Get("/announcement.png").body, png);
    const auto page = browser_.Get("/admin/announcement");
    // The preview shows the picture from the console's own port, to the signed-in maker only.
    EXPECT_NE(page->body.find("url('/admin/announcement-picture?v="), std::string::npos);
    const auto picture = browser_.Get("/admin/announcement-picture");
    EXPECT_EQ(picture->body, png);
    EXPECT_EQ(picture->get_header_value("Content-Type"), "image/png");
    EXPECT_EQ(httplib::Client("127.0.0.1", server_.console_port()).Get("/admin/announcement-picture")->status, 303);
    EXPECT_NE(page->body.find(U8(u8"value=\"http://a/活动\"")), std::string::npos);

    // No new picture keeps the one stored; unticked hides it.
    EXPECT_EQ(post("", "http://b/", false), 303);
    EXPECT_EQ(server_.Get("/lszbgg.asp?id=1").body, "announcement.png●http://b/●假");
    EXPECT_EQ(server_.Get("/announcement.png").body, png);
}

}  // namespace
}  // namespace yz::test
