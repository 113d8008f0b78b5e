// HttpReadFile, Ping and TcpConnects against servers on 127.0.0.1. The same cases run natively
// (cpp-httplib, ICMP sockets) and under Wine (WinINet, IcmpSendEcho).

#include "runtime/net.h"

#include <gtest/gtest.h>

#include "runtime/convert.h"
#include "support/loopback_socket.h"
#include "support/scripted_server.h"
#include "support/test_text.h"

namespace yz {
namespace {

using test::HttpResponse;
using test::ScriptedServer;

// A GBK page with every kind of byte an answer may hold: Chinese text, the record separators, a
// line break, a zero byte and the highest byte values.
const std::string kGbkPage = std::string("〖青灯〗展示作品:【砚舟】|互助~<br>\r\n") + '\0' + "\xFE\xFE\x80";

std::string Repeated(std::size_t size) {
    std::string body(size, 'x');
    for (std::size_t i = 0; i < size; ++i) {
        body[i] = static_cast<char>('a' + i % 23);
    }
    return body;
}

TEST(HttpReadFileTest, ReturnsTheBodyByteForByte) {
    const ScriptedServer server(HttpResponse(kGbkPage));
    const Bytes body = HttpReadFile(server.Address("/cxzp.asp"));
    EXPECT_EQ(body, BytesOf(kGbkPage)) << test::Hex(body);
    // The one session serves every later fetch too.
    EXPECT_EQ(HttpReadFile(server.Address("/cxzp.asp")), BytesOf(kGbkPage));
}

TEST(HttpReadFileTest, SendsTheObjectRawAndStopsAtTheFragment) {
    const ScriptedServer server(HttpResponse("作品发布成功!"));
    const Text object = "/tjfb.asp?zz=青灯&sm=a|b~c&fy=%26";
    EXPECT_EQ(ToText(HttpReadFile(server.Address(object + "#rest&zplj=x"))), "作品发布成功!");
    const std::string line = server.LastRequestLine();
    EXPECT_EQ(line.substr(0, line.rfind(' ')), "GET " + object) << test::Show(line);
    const std::string request = server.LastRequest();
    EXPECT_NE(request.find("\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"), std::string::npos)
        << request;
    EXPECT_NE(request.find("\r\nAccept: */*\r\n"), std::string::npos) << request;
}

TEST(HttpReadFileTest, ReadsBodiesLargerThanTheReadBuffer) {
    // Beyond the 102400-byte ceiling with a length, beyond 10240 bytes without one.
    const std::string large = Repeated(300000);
    const ScriptedServer announced(HttpResponse(large));
    EXPECT_EQ(HttpReadFile(announced.Address("/")), BytesOf(large));
    const std::string medium = Repeated(50000);
    const ScriptedServer unannounced(HttpResponse(medium, false));
    EXPECT_EQ(HttpReadFile(unannounced.Address("/")), BytesOf(medium));
}

TEST(HttpReadFileTest, ReadsToTheEndWithoutContentLength) {
    const ScriptedServer server(HttpResponse("青灯~白马~", false));
    EXPECT_EQ(ToText(HttpReadFile(server.Address("/cxjl.asp?zplj=x"))), "青灯~白马~");
}

TEST(HttpReadFileTest, ReturnsTheBodyOfAnErrorPage) {
    const ScriptedServer server(HttpResponse("<html>not found</html>", true, "404 Not Found"));
    EXPECT_EQ(ToText(HttpReadFile(server.Address("/missing.asp"))), "<html>not found</html>");
}

TEST(HttpReadFileTest, EmptyBodiesForFailures) {
    EXPECT_TRUE(HttpReadFile("http://127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()) + "/cxzp.asp").empty());
    EXPECT_TRUE(HttpReadFile("").empty());
    EXPECT_TRUE(HttpReadFile("127.0.0.1/cxzp.asp").empty());
    EXPECT_TRUE(HttpReadFile("http://127.0.0.1:99999/").empty());
    const ScriptedServer empty(HttpResponse(""));
    EXPECT_TRUE(HttpReadFile(empty.Address("/")).empty());
}

// A server that takes the connection and then never answers, or stops in the middle of the body:
// the fetch gives up after its time-out and reports an empty body. The time taken is not asserted;
// the test's own time limit catches a fetch that waits for good.
TEST(HttpReadFileTest, GivesUpOnAServerThatNeverAnswers) {
    const ScriptedServer silent("", ScriptedServer::Ending::kHoldOpen);
    EXPECT_TRUE(HttpReadFile(silent.Address("/cxzp.asp")).empty());
    EXPECT_NE(silent.LastRequestLine().find("GET /cxzp.asp HTTP/1."), std::string::npos);
}

TEST(HttpReadFileTest, GivesUpOnABodyThatStopsHalfWay) {
    std::string response = HttpResponse(Repeated(100));
    response.resize(response.size() - 60);
    const ScriptedServer stalled(response, ScriptedServer::Ending::kHoldOpen);
    EXPECT_TRUE(HttpReadFile(stalled.Address("/")).empty());
}

TEST(PingTest, LoopbackAnswersAndBadHostsDoNot) {
    EXPECT_GE(Ping("127.0.0.1", 2000), 0);
    EXPECT_GE(Ping("localhost", 2000), 0);
    EXPECT_EQ(Ping("", 100), -1);
}

TEST(TcpConnectsTest, AcceptedRefusedAndBadArguments) {
    const ScriptedServer server(HttpResponse(""));
    EXPECT_TRUE(TcpConnects("127.0.0.1", server.port(), 2000));
    EXPECT_FALSE(TcpConnects("127.0.0.1", test::UnusedLoopbackPort(), 2000));
    EXPECT_FALSE(TcpConnects("", server.port(), 100));
    EXPECT_FALSE(TcpConnects("127.0.0.1", 0, 100));
    EXPECT_FALSE(TcpConnects("127.0.0.1", 70000, 100));
}

}  // namespace
}  // namespace yz
