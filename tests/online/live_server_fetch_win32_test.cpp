// The Windows program's WinINet fetch from a running yanzhou-server, byte for byte. Run only by
// tests/win32/fetch_from_server.sh, which starts the server and names it in YZ_LIVE_SERVER; the
// core suite's run leaves it out.

#include <gtest/gtest.h>

#include <cstdlib>

#include "online/web_pages.h"
#include "online/web_requests.h"
#include "runtime/net.h"
#include "support/test_text.h"

namespace yz {
namespace {

Text LiveServer() {
    const char* base = std::getenv("YZ_LIVE_SERVER");
    return base == nullptr ? Text() : Text(base);
}

TEST(LiveServerFetchTest, GbkPagesArriveByteForByte) {
    const Text base = LiveServer();
    if (base.empty()) {
        GTEST_SKIP() << "YZ_LIVE_SERVER names no server";
    }
    const Text link = "http://example.com/book?id=7&ch=2";
    ASSERT_TRUE(PublishWork(base, "青灯", "砚舟记", "求点击 有访必回", link));
    ASSERT_TRUE(AddRecord(base, link, "白马"));

    const Bytes works = HttpReadFile(base + "/cxzp.asp");
    EXPECT_EQ(works, BytesOf("青灯|砚舟记|求点击 有访必回|" + link)) << test::Hex(works);
    const Bytes records = HttpReadFile(RecordsQueryAddress(base, link));
    EXPECT_EQ(records, BytesOf("白马~")) << test::Hex(records);
    EXPECT_EQ(FetchAddressText(base + "/ip"), "127.0.0.1] 来自：本机");
}

}  // namespace
}  // namespace yz
