// What WinINet puts on the wire for a page request.

#include <gtest/gtest.h>

#include "runtime/net.h"
#include "support/scripted_server.h"
#include "support/test_text.h"

namespace yz {
namespace {

TEST(HttpReadFileWin32Test, RequestIsAnHttp10GetWithTheFixedHeaders) {
    const test::ScriptedServer server(test::HttpResponse("56822"));
    ASSERT_EQ(HttpReadFile(server.Address("/jyfk.asp?nc=读者&zw=好~|")), BytesOf("56822"));
    EXPECT_EQ(server.LastRequestLine(), "GET /jyfk.asp?nc=读者&zw=好~| HTTP/1.0")
        << test::Show(server.LastRequestLine());
    const std::string request = server.LastRequest();
    std::size_t accept_lines = 0;
    for (std::size_t at = request.find("\r\nAccept:"); at != std::string::npos;
         at = request.find("\r\nAccept:", at + 1)) {
        ++accept_lines;
    }
    EXPECT_EQ(accept_lines, 1u) << request;
    EXPECT_NE(request.find("\r\nAccept: */*\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"), std::string::npos)
        << request;
}

}  // namespace
}  // namespace yz
