// The yanzhou-server program itself: start and stop, restart, a database it cannot write, and
// the admin commands against the database a running server uses.

#include <gtest/gtest.h>
#include <httplib.h>

#include <signal.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "runtime/encoding.h"
#include "server/console/console_password.h"
#include "server/live_server.h"
#include "server/server_process.h"
#include "server/store/open_store.h"
#include "support/temp_dir.h"
#include "support/test_text.h"

namespace yz::test {
namespace {

class ServerProcessTest : public ::testing::Test {
  protected:
    ProgramRun Admin(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--database", database_});
        return RunServerProgram(arguments);
    }

    TempDir dir_;
    std::string database_ = TestDatabase(dir_);
};

TEST_F(ServerProcessTest, StartsWithOneLineAndStopsCleanlyKeepingItsData) {
    for (const int signal_number : {SIGTERM, SIGINT}) {
        ServerProcess server(database_);
        ASSERT_TRUE(server.started()) << server.output();
        const std::string pen = signal_number == SIGTERM ? "first" : "second";
        EXPECT_EQ(RawGet(server.port(), "/tjfb.asp?zz=" + pen + "&sm=w&fy=&zplj=http://a/" + pen).body,
                  "作品发布成功!");
        EXPECT_EQ(server.Stop(signal_number), 0);
        EXPECT_EQ(server.output(), server.ready_line() + "\nyanzhou-server console on http://127.0.0.1:" +
                                       std::to_string(server.console_port()) + "/admin/\nyanzhou-server stopped\n");
    }
    ServerProcess again(database_);
    ASSERT_TRUE(again.started()) << again.output();
    EXPECT_EQ(RawGet(again.port(), "/cxzp.asp").body, "second|w||http://a/second<br>first|w||http://a/first");
    EXPECT_EQ(again.Stop(SIGTERM), 0);
}

TEST_F(ServerProcessTest, AReadOnlyDatabaseStopsTheStartWithAClearMessage) {
    { std::ofstream(database_).flush(); }
    ASSERT_EQ(chmod(database_.c_str(), 0444), 0);
    ServerProcess server(database_);
    EXPECT_FALSE(server.started());
    EXPECT_EQ(server.Stop(0), 1);
    EXPECT_EQ(server.output(), "yanzhou-server: database " + database_ + " is read-only\n");

    const ProgramRun missing = RunServerProgram({"--port", "0", "--database", database_ + "/no/such/dir"});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.errors.find("no/such/dir"), std::string::npos) << missing.errors;
}

TEST_F(ServerProcessTest, AdminCommandsChangeWhatTheRunningServerAnswers) {
    ServerProcess server(database_);
    ASSERT_TRUE(server.started()) << server.output();
    const int port = server.port();

    EXPECT_EQ(Admin({"set-version", "4.3"}).exit_code, 0);
    EXPECT_EQ(RawGet(port, "/ybtwzp.asp?id=1").body, "4.3");
    EXPECT_EQ(Admin({"set-version", "v5"}).exit_code, 2);

    const std::string image_file = (dir_.native() / "ad.GIF").string();
    const std::string picture(
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
        "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
        43);
    // A web page behind a GIF header is no picture, whatever its name says.
    std::ofstream(image_file, std::ios::binary) << "GIF89a<html><script>alert(1)</script>";
    const ProgramRun fake = Admin({"set-announcement", "--image", image_file});
    EXPECT_EQ(fake.exit_code, 1);
    EXPECT_NE(fake.errors.find("not a whole .gif picture"), std::string::npos) << fake.errors;
    std::ofstream(image_file, std::ios::binary) << picture;
    const ProgramRun announce =
        Admin({"set-announcement", "--image", image_file, "--link", Utf8FromGbk("http://a.com/新书"), "--show", "yes"});
    EXPECT_EQ(announce.exit_code, 0) << announce.errors;
    EXPECT_EQ(RawGet(port, "/lszbgg.asp?id=1").body, "announcement.gif●http://a.com/新书●真");
    EXPECT_EQ(RawGet(port, "/announcement.gif").body, picture);
    EXPECT_EQ(Admin({"set-announcement", "--show", "no"}).exit_code, 0);
    EXPECT_EQ(RawGet(port, "/lszbgg.asp?id=1").body, "announcement.gif●http://a.com/新书●假");
    EXPECT_EQ(Admin({"set-announcement", "--link", "http://a/\xE2\x97\x8F"}).exit_code, 1);  // the mark itself
    // Not turned into "?" silently: the character is named.
    const ProgramRun emoji = Admin({"set-announcement", "--link", "http://a/\xF0\x9F\x8E\x89"});
    EXPECT_EQ(emoji.exit_code, 1);
    EXPECT_NE(emoji.errors.find("\xF0\x9F\x8E\x89"), std::string::npos) << emoji.errors;
    EXPECT_EQ(Admin({"set-announcement", "--image", (dir_.native() / "ad.exe").string()}).exit_code, 1);
    const ProgramRun settings = Admin({"show-settings"});
    EXPECT_NE(settings.out.find("latest version: 4.3"), std::string::npos) << settings.out;
    EXPECT_NE(settings.out.find("announcement.gif, 43 bytes"), std::string::npos) << settings.out;

    ASSERT_EQ(RawGet(port, "/tjfb.asp?zz=砚生&sm=w&fy=&zplj=http://a/1").body, "作品发布成功!");
    ASSERT_EQ(RawGet(port, "/tjfb.asp?zz=墨客&sm=w&fy=&zplj=http://a/2").body, "作品发布成功!");
    const ProgramRun works = Admin({"list-works"});
    EXPECT_EQ(works.exit_code, 0);
    EXPECT_NE(works.out.find("1\t"), std::string::npos);
    EXPECT_NE(works.out.find(Utf8FromGbk("砚生") + "\tw\t\thttp://a/1\t127.0.0.1"), std::string::npos) << works.out;
    EXPECT_EQ(Admin({"delete-work", "1"}).exit_code, 0);
    EXPECT_EQ(Admin({"delete-work", "1"}).exit_code, 1);
    EXPECT_EQ(RawGet(port, "/cxzp.asp").body, "墨客|w||http://a/2");

    ASSERT_EQ(RawGet(port, "/jyfk.asp?nc=读者&zw=希望增加夜间模式%0D%0A谢谢").body, "56822");
    const ProgramRun feedback = Admin({"list-feedback"});
    EXPECT_EQ(feedback.exit_code, 0);
    EXPECT_NE(feedback.out.find(Utf8FromGbk("读者") + "\t127.0.0.1\t" + Utf8FromGbk("希望增加夜间模式  谢谢")),
              std::string::npos)
        << feedback.out;

    EXPECT_EQ(Admin({"no-such-command"}).exit_code, 2);
    EXPECT_EQ(server.Stop(SIGTERM), 0);
}

// The console's password and cookie never cross a network in clear: beyond loopback only over
// TLS, and over TLS its cookies are Secure and the browser is told to keep to HTTPS.
TEST_F(ServerProcessTest, ConsoleBeyondLoopbackOnlyOverTls) {
    const ProgramRun refused = RunServerProgram({"--database", database_, "--console-address", "0.0.0.0"});
    EXPECT_EQ(refused.exit_code, 2);
    EXPECT_NE(refused.errors.find("--console-tls-cert FILE and --console-tls-key FILE"), std::string::npos)
        << refused.errors;

    const std::string certificate = (dir_.native() / "console.crt").string();
    const std::string key = (dir_.native() / "console.key").string();
    const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -keyout " + key +
                             " -out " + certificate + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0);
    {
        std::string error;
        const auto store = server::OpenStore(database_, error);
        ASSERT_TRUE(store) << error;
        ASSERT_TRUE(store->SetConsolePasswordHash(console::HashConsolePassword("a long password")));
    }
    ServerProcess server(database_, {"--console-tls-cert", certificate, "--console-tls-key", key});
    ASSERT_TRUE(server.started()) << server.output();
    ASSERT_GT(server.console_port(), 0) << server.output();
    EXPECT_NE(server.output().find("console on https://127.0.0.1:"), std::string::npos) << server.output();
    httplib::SSLClient client("127.0.0.1", server.console_port());
    client.enable_server_certificate_verification(false);
    const auto page = client.Get("/admin/sign-in");
    ASSERT_TRUE(page) << "no answer over TLS";
    EXPECT_EQ(page->get_header_value("Strict-Transport-Security"), "max-age=31536000");
    ASSERT_GT(page->get_header_value_count("Set-Cookie"), 0u);
    for (std::size_t i = 0; i < page->get_header_value_count("Set-Cookie"); ++i) {
        EXPECT_NE(page->get_header_value("Set-Cookie", i).find("; Secure"), std::string::npos);
    }
    EXPECT_FALSE(httplib::Client("127.0.0.1", server.console_port()).Get("/admin/sign-in")) << "plain HTTP";
    server.Stop(SIGTERM);
}

}  // namespace
}  // namespace yz::test
