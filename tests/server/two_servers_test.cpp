// Two yanzhou-server processes on one database (one SQLite file, or one PostgreSQL database in
// the PostgreSQL runs) serve one showcase: what one takes, the other lists within moments.

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include "server/live_server.h"
#include "server/server_process.h"
#include "support/temp_dir.h"

namespace yz::test {
namespace {

// The showcase of the server on `port` once it differs from `before`, or `before` when it stays
// so for five seconds.
std::string ShowcaseOnceChanged(int port, const std::string& before) {
    for (int round = 0; round < 100; ++round) {
        const std::string body = RawGet(port, "/cxzp.asp").body;
        if (body != before) {
            return body;
        }
        usleep(50 * 1000);
    }
    return before;
}

TEST(TwoServersTest, PublishThroughOneListThroughTheOther) {
    TempDir dir;
    const std::string database = TestDatabase(dir);
    ServerProcess first(database);
    ServerProcess second(database);
    ASSERT_TRUE(first.started()) << first.output();
    ASSERT_TRUE(second.started()) << second.output();

    // Both keep their showcase built; a publish through one must reach the other's within its
    // next look at the works stamp, well inside the wait.
    EXPECT_EQ(RawGet(first.port(), "/cxzp.asp").body, "");
    EXPECT_EQ(RawGet(second.port(), "/cxzp.asp").body, "");
    EXPECT_EQ(RawGet(first.port(), "/tjfb.asp?zz=砚生&sm=春秋&fy=十年&zplj=http://a/1").body, "作品发布成功!");
    EXPECT_EQ(ShowcaseOnceChanged(second.port(), ""), "砚生|春秋|十年|http://a/1");
    EXPECT_EQ(RawGet(second.port(), "/tjfb.asp?zz=墨客&sm=夏&fy=&zplj=http://a/2").body, "作品发布成功!");
    EXPECT_EQ(ShowcaseOnceChanged(first.port(), "砚生|春秋|十年|http://a/1"),
              "墨客|夏||http://a/2<br>砚生|春秋|十年|http://a/1");
    // A deletion by a third process together with a publish: the works the first kept are read
    // again, not just the new one put in front of them.
    const ProgramRun deleted = RunServerProgram({"--database", database, "delete-work", "1"});
    EXPECT_EQ(deleted.exit_code, 0) << deleted.errors;
    EXPECT_EQ(RawGet(second.port(), "/tjfb.asp?zz=墨客&sm=冬&fy=&zplj=http://a/3").body, "作品发布成功!");
    EXPECT_EQ(ShowcaseOnceChanged(first.port(), "墨客|夏||http://a/2<br>砚生|春秋|十年|http://a/1"),
              "墨客|冬||http://a/3<br>墨客|夏||http://a/2");
    EXPECT_EQ(RawGet(second.port(), "/tjjl.asp?zplj=http://a/1&zznc=墨客~").body, "添加记录成功!");
    EXPECT_EQ(RawGet(first.port(), "/cxjl.asp?zplj=http://a/1").body, "墨客~");

    const ProgramRun version = RunServerProgram({"--database", database, "set-version", "4.3"});
    EXPECT_EQ(version.exit_code, 0) << version.errors;
    EXPECT_EQ(RawGet(first.port(), "/ybtwzp.asp?id=1").body, "4.3");
    EXPECT_EQ(RawGet(second.port(), "/ybtwzp.asp?id=1").body, "4.3");
    EXPECT_EQ(first.Stop(SIGTERM), 0);
    EXPECT_EQ(second.Stop(SIGTERM), 0);
}

}  // namespace
}  // namespace yz::test
