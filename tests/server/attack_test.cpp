// Attacks from the open internet on the real yanzhou-server program, each with the exact request
// an attacker sends; after each, a writer from another address must still be answered at once.
// Loopback only: the attacker is 127.0.0.1, writers are other 127.0.0.0/8 addresses.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <memory>
#include <pqxx/pqxx>
#include <thread>

#include "server/escape.h"
#include "server/http/listener.h"
#include "server/live_server.h"
#include "server/server_process.h"
#include "support/test_text.h"

extern char** environ;

namespace yz::test {
namespace {

const std::string kPublished = "作品发布成功!";
const std::string kRecordAdded = "添加记录成功!";
const std::string kWriter = "127.0.0.2";

double Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void Pause(long milliseconds) {
    const timespec pause{.tv_sec = milliseconds / 1000, .tv_nsec = (milliseconds % 1000) * 1'000'000};
    nanosleep(&pause, nullptr);
}

std::string PublishTarget(const std::string& pen,
                          const std::string& work,
                          const std::string& motto,
                          const std::string& link) {
    return "/tjfb.asp?zz=" + Escape(pen) + "&sm=" + Escape(work) + "&fy=" + Escape(motto) + "&zplj=" + Escape(link);
}

// The value of header `name` in a raw answer, or "".
std::string Header(const std::string& answer, const std::string& name) {
    const auto head_end = answer.find("\r\n\r\n");
    const auto at = answer.find("\r\n" + name + ": ");
    if (at == std::string::npos || at > head_end) {
        return {};
    }
    const auto start = at + name.size() + 4;
    return answer.substr(start, answer.find("\r\n", start) - start);
}

// True when the server ends `socket_fd` (end of stream or reset) within `seconds`.
bool ClosedWithin(int socket_fd, double seconds) {
    const double deadline = Now() + seconds;
    char buffer[4096];
    while (Now() < deadline) {
        pollfd watched{.fd = socket_fd, .events = POLLIN, .revents = 0};
        if (poll(&watched, 1, 100) > 0 && recv(socket_fd, buffer, sizeof buffer, MSG_DONTWAIT) <= 0) {
            return true;
        }
    }
    return false;
}

class AttackTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server_.started()) << server_.output(); }
    void TearDown() override { server_.Stop(SIGTERM); }

    Reply Get(const std::string& target, const std::string& source = "127.0.0.1") const {
        return RawGet(server_.port(), target, source);
    }

    // A writer elsewhere is answered within a second, however the attack went.
    void ExpectWriterServed() {
        const Reply reply = RawGet(server_.port(), "/ybtwzp.asp?id=1", kWriter, 1);
        EXPECT_EQ(reply.status, 200) << "a writer was not answered within a second";
    }

    std::string Showcase() { return Get("/cxzp.asp", kWriter).body; }

    TempDir dir_;
    std::string database_ = TestDatabase(dir_);
    ServerProcess server_{database_, {"--quota", "record=5,feedback=2"}};
};

// Point 1: fields reach the maker's browser only as plain text, never as a page it would run.
TEST_F(AttackTest, StoredScriptIsServedAsPlainText) {
    const std::string link = "http://x/<img/src=x/onerror=alert(1)>";
    ASSERT_EQ(Get(PublishTarget("<b>", "<script>", "\"x\"", link)).body, kPublished);
    ASSERT_EQ(Get("/tjjl.asp?zplj=" + Escape(link) + "&zznc=" + Escape("<i>") + "~").body, kRecordAdded);
    for (const std::string& target :
         {std::string("/cxzp.asp"), "/cxjl.asp?zplj=" + Escape(link), std::string("/ybtwzp.asp?id=1"),
          std::string("/lszbgg.asp?id=1"), std::string("/ip"), std::string("/nowhere")}) {
        const std::string answer = RawExchange(server_.port(), "GET " + target + " HTTP/1.0\r\n\r\n");
        EXPECT_EQ(Header(answer, "Content-Type"), "text/plain; charset=GBK") << target;
        EXPECT_EQ(Header(answer, "X-Content-Type-Options"), "nosniff") << target;
    }
    static const char kPicture[] =
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
        "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";
    const auto image = dir_.native() / "gg.gif";
    std::ofstream(image, std::ios::binary) << std::string(kPicture, sizeof kPicture - 1);
    ASSERT_EQ(RunServerProgram({"--database", database_, "set-announcement", "--image", image.string()}).exit_code, 0);
    const std::string picture = RawExchange(server_.port(), "GET /announcement.gif HTTP/1.0\r\n\r\n");
    EXPECT_EQ(Header(picture, "Content-Type"), "image/gif");
    EXPECT_EQ(Header(picture, "X-Content-Type-Options"), "nosniff");
    ExpectWriterServed();
}

// Point 2: a body without a length is refused at the head, before the server reads any of it.
TEST_F(AttackTest, ChunkedBodiesAreRefusedBeforeTheyAreRead) {
    for (const std::string_view head : {"GET /cxzp.asp HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n",
                                        "POST /tjfb.asp HTTP/1.1\r\nHost: a\r\ntransfer-encoding: chunked\r\n\r\n",
                                        "POST /admin/sign-in HTTP/1.1\r\nTransfer-Encoding: gzip, chunked\r\n\r\n"}) {
        const int socket_fd = ConnectTo(server_.port(), "127.0.0.1", 5);
        ASSERT_GE(socket_fd, 0);
        ASSERT_EQ(send(socket_fd, head.data(), head.size(), MSG_NOSIGNAL), static_cast<ssize_t>(head.size()));
        // Stream 64 MiB of chunks; the server stops taking them long before.
        const std::string chunk = "10000\r\n" + std::string(0x10000, 'x') + "\r\n";
        std::size_t sent = 0;
        while (sent < 64u << 20) {
            const ssize_t n = send(socket_fd, chunk.data(), chunk.size(), MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(n);
        }
        EXPECT_LT(sent, 64u << 20) << head;
        char answer[64] = {};
        const ssize_t n = recv(socket_fd, answer, sizeof answer - 1, 0);
        EXPECT_TRUE(n <= 0 || std::string(answer).rfind("HTTP/1.1 411", 0) == 0) << answer;
        close(socket_fd);
    }
    const std::string refused =
        RawExchange(server_.port(), "GET /cxzp.asp HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n");
    EXPECT_EQ(refused.rfind("HTTP/1.1 411", 0), 0u) << refused;
    // Heads themselves are bounded too.
    const std::string long_head = "GET /cxzp.asp HTTP/1.0\r\nX-Pad: " + std::string(9000, 'p') + "\r\n\r\n";
    EXPECT_EQ(RawExchange(server_.port(), long_head).rfind("HTTP/1.1 431", 0), 0u);
    const std::string long_line = "GET /cxjl.asp?zplj=" + std::string(5000, 'x');
    EXPECT_EQ(RawExchange(server_.port(), long_line).rfind("HTTP/1.1 414", 0), 0u);
    ExpectWriterServed();
}

// Point 3: idle and half-sent connections hold no worker, are capped per address and are ended
// after the head deadline.
TEST_F(AttackTest, HalfOpenConnectionsDoNotStopService) {
    std::vector<int> idle;
    for (int i = 0; i < 200; ++i) {
        const int socket_fd = ConnectTo(server_.port(), "127.0.0.1", 5);
        ASSERT_GE(socket_fd, 0);
        const std::string part = i % 2 == 0 ? "GET /cxzp.asp HTTP/1.0\r\nX-a: b\r\n" : "";
        send(socket_fd, part.data(), part.size(), MSG_NOSIGNAL);
        idle.push_back(socket_fd);
    }
    ExpectWriterServed();
    EXPECT_EQ(Get("/ybtwzp.asp?id=1", kWriter).status, 200);
    // Beyond the cap the attacker's own connections are ended at once, the rest at the deadline.
    for (const int socket_fd : idle) {
        EXPECT_TRUE(ClosedWithin(socket_fd, 10)) << "a silent connection was kept beyond the head deadline";
        close(socket_fd);
    }
    ExpectWriterServed();
}

// An answer given on the listener's thread that the socket cannot take at once goes out as the
// caller reads; fails when it arrives cut, or when the listener no longer stops after it.
TEST(ListenerTest, AnAnswerLargerThanTheSocketTakesArrivesWholeAndStopReturns) {
    auto* listener = new server::Listener();  // left behind when Run never returns
    const int port = listener->Bind("127.0.0.1", 0);
    ASSERT_GT(port, 0);
    const auto answer = std::make_shared<const std::string>(16 << 20, 'a');
    const auto returned = std::make_shared<std::atomic<bool>>(false);
    std::thread runner([listener, answer, returned] {
        listener->Run([](server::WholeRequest&&) { return false; }, [answer](std::string_view) { return answer; });
        *returned = true;
    });
    EXPECT_EQ(RawExchange(port, "GET /cxzp.asp HTTP/1.0\r\n\r\n").size(), answer->size());
    listener->Stop();
    for (int round = 0; round < 400 && !*returned; ++round) {
        usleep(50 * 1000);
    }
    if (!*returned) {
        runner.detach();
        FAIL() << "the listener did not stop";
    }
    runner.join();
    delete listener;
}

// Point 3 with the attack tool itself: slowloris, 500 connections, bounded in time.
TEST_F(AttackTest, SlowlorisToolLeavesWritersServed) {
    const char* const tool = "/usr/bin/slowhttptest";
    if (access(tool, X_OK) != 0) {
        GTEST_SKIP() << "slowhttptest is not installed (scripts/install-deps installs it)";
    }
    const std::string url = "http://127.0.0.1:" + std::to_string(server_.port()) + "/cxzp.asp";
    const std::vector<std::string> arguments = {tool, "-H",   "-c", "500", "-r", "250", "-i", "5",  "-x", "24",
                                                "-s", "8192", "-t", "GET", "-p", "3",   "-l", "15", "-u", url};
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // The tool ends once the server has closed all its connections; an attacker starts it again.
    pid_t pid = -1;
    int runs = 0;
    int probes = 0;
    for (const double end = Now() + 10; Now() < end; ++probes) {
        if (pid < 0 || waitpid(pid, nullptr, WNOHANG) == pid) {
            ASSERT_EQ(posix_spawn(&pid, tool, &actions, nullptr, argv.data(), environ), 0);
            ++runs;
            Pause(200);  // its first connections are in
        }
        ExpectWriterServed();
        Pause(250);
    }
    posix_spawn_file_actions_destroy(&actions);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    EXPECT_GE(runs, 2) << "the tool's connections were never all closed";
    EXPECT_GT(probes, 10);
    ExpectWriterServed();
}

// Point 4: only web addresses are stored as links; any case of the scheme is one.
TEST_F(AttackTest, OnlyWebLinksAreStored) {
    for (const char* link :
         {"file://host/share/setup.exe?http://", "C:\\Windows\\System32\\calc.exe#http://",
          "javascript:alert(1)//http://", "http://a.com/a b", "http://a.com\\..\\x", "mailto:a@b.c?http://"}) {
        EXPECT_NE(Get(PublishTarget("a", "b", "c", link)).body, kPublished) << link;
        EXPECT_NE(Get("/tjjl.asp?zplj=" + Escape(link) + "&zznc=a~").body, kRecordAdded) << link;
    }
    EXPECT_EQ(Showcase(), "");
    ASSERT_EQ(Get(PublishTarget("a", "b", "c", "HTTPS://A.COM/1")).body, kPublished);
    EXPECT_EQ(Showcase(), "a|b|c|HTTPS://A.COM/1");
    const ProgramRun set = RunServerProgram({"--database", database_, "set-announcement", "--link", "javascript:x//"});
    EXPECT_NE(set.exit_code, 0);
    EXPECT_NE(set.errors.find("http://"), std::string::npos) << set.errors;
    ExpectWriterServed();
}

// Point 5: per-address quotas, and one address's works take only a share of the showcase.
TEST_F(AttackTest, AFloodStopsAtTheQuotaAndTakesOnlyItsShare) {
    const std::string long_link = "http://a.com/" + std::string(1000, 'x');
    int acknowledged = 0;
    for (int i = 0; i < 25; ++i) {
        acknowledged += Get(PublishTarget("p" + std::to_string(i), "w", "m", long_link)).body == kPublished;
    }
    EXPECT_EQ(acknowledged, 20);
    const auto works = RunServerProgram({"--database", database_, "list-works"});
    EXPECT_EQ(std::count(works.out.begin(), works.out.end(), '\n'), 21) << "the header and 20 works";
    ASSERT_EQ(Get(PublishTarget("writer", "w", "m", "http://b.com/1"), kWriter).body, kPublished);
    const std::string showcase = Showcase();
    EXPECT_EQ(showcase.rfind("writer|", 0), 0u);
    EXPECT_LE(showcase.size(), 10240u + 100u);
    EXPECT_NE(showcase.find("p19|"), std::string::npos) << "the flood's newest works stay within its share";

    for (int i = 0; i < 7; ++i) {
        const Reply reply = Get("/tjjl.asp?zplj=http://b.com/1&zznc=v" + std::to_string(i) + "~");
        EXPECT_EQ(reply.body == kRecordAdded, i < 5) << i;
    }
    EXPECT_EQ(Get("/cxjl.asp?zplj=http://b.com/1", kWriter).body, "v0~v1~v2~v3~v4~");
    const std::string feedback = "/jyfk.asp?nc=a&zw=" + Escape("这是一条有效的建议");
    EXPECT_EQ(Get(feedback).body, "56822");
    EXPECT_EQ(Get(feedback).body, "56822");
    EXPECT_NE(Get(feedback).body, "56822");
    EXPECT_EQ(Get(feedback, kWriter).body, "56822");
    ExpectWriterServed();
}

// Point 6: what the program's checks let through and no answer form forbids is stored.
TEST_F(AttackTest, FieldsTheProgramAcceptsAreNotLockedOut) {
    ASSERT_EQ(Get(PublishTarget("青●灯", "书●名", "求收藏~有访必回", "http://a.com/~qd/book.html")).body, kPublished);
    EXPECT_EQ(Get("/tjjl.asp?zplj=" + Escape("http://a.com/~qd/book.html") + "&zznc=" + Escape("青●灯") + "~").body,
              kRecordAdded);
    EXPECT_EQ(Showcase(), "青●灯|书●名|求收藏~有访必回|http://a.com/~qd/book.html");
    EXPECT_EQ(Get("/cxjl.asp?zplj=" + Escape("http://a.com/~qd/book.html")).body, "青●灯~");
    ExpectWriterServed();
}

// Point 7: values split at the first "=", "%XX" decoded once, "+" kept.
TEST_F(AttackTest, RawEqualsPlusAndPercentKeepTheirValue) {
    ASSERT_EQ(Get("/tjfb.asp?zz=a&sm=b&fy=a+b/%41&zplj=http://127.0.0.1/book?id=7%26ch=2").body, kPublished);
    ASSERT_EQ(Get("/tjfb.asp?zz=c&sm=d&fy=%2541&zplj=http://evil/?r=http://a.com/").body, kPublished);
    ASSERT_EQ(Get("/tjfb.asp?zz=e&sm=f&fy=&zplj=http://a.com/book?id=7").body, kPublished);
    EXPECT_EQ(Showcase(),
              "e|f||http://a.com/book?id=7<br>c|d|%41|http://evil/?r=http://a.com/<br>"
              "a|b|a+b/A|http://127.0.0.1/book?id=7&ch=2");
    ExpectWriterServed();
}

// Holds the database's write lock from outside the server, as another process would.
class OutsideWriteLock {
  public:
    explicit OutsideWriteLock(const std::string& database) {
        if (PostgresRun()) {
            postgres_ = std::make_unique<pqxx::connection>(database);
            transaction_ = std::make_unique<pqxx::work>(*postgres_);
            transaction_->exec("LOCK TABLE works IN EXCLUSIVE MODE");
        } else {
            sqlite3_open(database.c_str(), &sqlite_);
            held_ = sqlite3_exec(sqlite_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
        }
    }
    ~OutsideWriteLock() {
        transaction_.reset();
        if (sqlite_ != nullptr) {
            sqlite3_exec(sqlite_, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(sqlite_);
        }
    }
    bool held() const { return held_ || transaction_ != nullptr; }

  private:
    sqlite3* sqlite_ = nullptr;
    bool held_ = false;
    std::unique_ptr<pqxx::connection> postgres_;
    std::unique_ptr<pqxx::work> transaction_;
};

// Point 8: a locked database makes writes fail soon with 503 and never holds reads up.
TEST_F(AttackTest, ALockedDatabaseAnswersWritesBusyAndReadsAtOnce) {
    ASSERT_EQ(Get(PublishTarget("a", "b", "c", "http://a.com/1")).body, kPublished);
    {
        OutsideWriteLock lock(database_);
        ASSERT_TRUE(lock.held());
        std::vector<std::thread> writers;
        std::atomic<int> busy = 0;
        for (int i = 0; i < 8; ++i) {
            writers.emplace_back([&, i] {
                const Reply reply =
                    RawGet(server_.port(), PublishTarget("w" + std::to_string(i), "b", "c", "http://a.com/2"),
                           "127.0.0." + std::to_string(10 + i), 10);
                busy += reply.status == 503;
            });
        }
        // While the writers wait for the lock, a reader is answered at once.
        const Reply read = RawGet(server_.port(), "/cxzp.asp", kWriter, 1);
        EXPECT_EQ(read.body, "a|b|c|http://a.com/1");
        for (auto& writer : writers) {
            writer.join();
        }
        EXPECT_EQ(busy, 8);
    }
    EXPECT_EQ(Get(PublishTarget("d", "e", "f", "http://a.com/3")).body, kPublished);
    ExpectWriterServed();
}

// Point 10: the database and its companions are readable by their owner only.
TEST_F(AttackTest, TheDatabaseIsMadeOwnerOnly) {
    if (PostgresRun()) {
        GTEST_SKIP() << "PostgreSQL keeps its own files";
    }
    ASSERT_EQ(Get(PublishTarget("a", "b", "c", "http://a.com/1")).body, kPublished);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        struct stat info {};
        ASSERT_EQ(stat((database_ + suffix).c_str(), &info), 0) << suffix;
        EXPECT_EQ(info.st_mode & 0777, 0600u) << database_ + suffix;
    }
}

// Point 9: an IPv4 writer of a dual-stack listener is told its plain IPv4 address.
TEST(AttackDualStackTest, IpLookupShowsPlainIpv4) {
    TempDir dir;
    ServerProcess server((dir.native() / "server.sqlite").string(), {"--address", "::ffff:127.0.0.1"});
    ASSERT_TRUE(server.started()) << server.output();
    const Reply reply = RawGet(server.port(), "/ip", kWriter, 5);
    EXPECT_NE(reply.body.find("[127.0.0.2]"), std::string::npos) << Show(reply.body);
    EXPECT_EQ(reply.body.find("::ffff:"), std::string::npos) << Show(reply.body);
    server.Stop(SIGTERM);
}

}  // namespace
}  // namespace yz::test
