// The datagram socket on loopback: shared ports, broadcasts heard by every socket on the port,
// datagrams of any size read whole, and the failures a send reports.

#include <gtest/gtest.h>

#include <optional>

#include "runtime/datagram_socket.h"
#include "support/test_text.h"

namespace yz::test {
namespace {

constexpr int kWaitMs = 5000;  // a deadline for loopback datagrams, never a pause

TEST(DottedAddress, OnlyFourDecimalPartsUpTo255) {
    EXPECT_EQ(ParseDottedAddress("127.0.0.1"), 0x7F000001u);
    EXPECT_EQ(ParseDottedAddress("127.255.255.255"), 0x7FFFFFFFu);
    EXPECT_EQ(ParseDottedAddress("0.0.0.0"), 0u);
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", " 1.2.3.4", "1.2.3.4 ", "1234.1.1.1",
                            "a.b.c.d", "1.2.3.-4", "localhost"}) {
        EXPECT_FALSE(ParseDottedAddress(bad)) << bad;
    }
    EXPECT_TRUE(IsLoopbackAddress("127.255.255.255"));
    EXPECT_TRUE(IsLoopbackAddress("127.0.0.1"));
    EXPECT_FALSE(IsLoopbackAddress("255.255.255.255"));
    EXPECT_FALSE(IsLoopbackAddress("128.0.0.1"));
    EXPECT_FALSE(IsLoopbackAddress("127.0.0"));
}

std::optional<Bytes> ReceiveWithin(DatagramSocket& socket) {
    return socket.WaitReadable(kWaitMs) ? socket.Receive() : std::nullopt;
}

TEST(DatagramSocket, EverySocketOnThePortHearsALoopbackBroadcast) {
    DatagramSocket first(0);
    ASSERT_TRUE(first.bound());
    DatagramSocket second(first.port());
    ASSERT_TRUE(second.bound());
    EXPECT_EQ(second.port(), first.port());
    EXPECT_FALSE(first.Receive());

    ASSERT_TRUE(first.Send("127.255.255.255", first.port(), BytesOf("X^XZ砚舟")));
    EXPECT_EQ(ReceiveWithin(first), BytesOf("X^XZ砚舟"));
    EXPECT_EQ(ReceiveWithin(second), BytesOf("X^XZ砚舟"));
}

TEST(DatagramSocket, EmptyZeroFilledAndLargestDatagramsArriveWhole) {
    DatagramSocket socket(0);
    ASSERT_TRUE(socket.bound());
    const Bytes largest(65507, 0xB0);
    const Bytes zeros = {0, 'a', 0};
    for (const Bytes& sent : {Bytes{}, zeros, largest}) {
        ASSERT_TRUE(socket.Send("127.0.0.1", socket.port(), sent)) << sent.size();
        const std::optional<Bytes> received = ReceiveWithin(socket);
        ASSERT_TRUE(received) << sent.size();
        EXPECT_EQ(*received, sent) << Hex(*received);
    }
}

TEST(DatagramSocket, SendsToNoValidTargetFail) {
    DatagramSocket socket(0);
    ASSERT_TRUE(socket.bound());
    EXPECT_FALSE(socket.Send("127.0.0.1", 0, BytesOf("x")));
    EXPECT_FALSE(socket.Send("127.0.0.1", 65536, BytesOf("x")));
    EXPECT_FALSE(socket.Send("no.such.host", socket.port(), BytesOf("x")));
    EXPECT_FALSE(socket.Send("127.0.0.1", socket.port(), Bytes(70000, 'x')));

    DatagramSocket unbound(70000);
    EXPECT_FALSE(unbound.bound());
    EXPECT_FALSE(unbound.Send("127.0.0.1", socket.port(), BytesOf("x")));
    EXPECT_FALSE(unbound.Receive());
}

}  // namespace
}  // namespace yz::test
