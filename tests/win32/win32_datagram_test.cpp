// The Win32 desktop's datagram unit: its socket reports through the message queue, and each
// datagram arrives as one event whose handler reads the bytes.

#include <vector>

#include "runtime/datagram_socket.h"
#include "win32_test_window.h"

namespace yz::testing {
namespace {

constexpr char kSocket[] = "数据报";

TEST_F(DesktopTest, EachDatagramArrivesAsOneEventThroughTheMessageQueue) {
    const int port = DatagramSocket(0).port();
    WindowTemplate window = TestWindow();
    ControlTemplate socket = Control(kSocket, ControlKind::kDatagramSocket, {});
    socket.port = port;
    socket.broadcast_address = "127.255.255.255";
    window.controls.push_back(socket);
    Load(window);
    std::vector<Bytes> received;
    desktop_->Bind({kWindow, kSocket}, EventKind::kDatagramArrived, [&](const Event&) {
        received.push_back(desktop_->DatagramData({kWindow, kSocket}));
        return true;
    });

    // Listening once the window is loaded, before the program itself uses the socket.
    DatagramSocket other(0);
    ASSERT_TRUE(other.Send("127.0.0.1", port, BytesOf("先到")));
    for (int waited = 0; waited < 5000 && received.empty(); waited += 10) {
        desktop_->DelayWithEvents(10);
    }
    ASSERT_EQ(received, (std::vector<Bytes>{BytesOf("先到")}));
    received.clear();

    // No host: the broadcast address. Then an empty datagram and one with zero bytes to one host.
    ASSERT_TRUE(desktop_->DatagramSend({kWindow, kSocket}, "", port, BytesOf("X^XZ砚舟")));
    ASSERT_TRUE(desktop_->DatagramSend({kWindow, kSocket}, "127.0.0.1", port, Bytes{}));
    ASSERT_TRUE(desktop_->DatagramSend({kWindow, kSocket}, "127.0.0.1", port, Bytes{'a', 0, 'b'}));
    // Polled with a deadline of 5 s.
    for (int waited = 0; waited < 5000 && received.size() < 3; waited += 10) {
        desktop_->DelayWithEvents(10);
    }
    EXPECT_EQ(received, (std::vector<Bytes>{BytesOf("X^XZ砚舟"), Bytes{}, Bytes{'a', 0, 'b'}}));

    EXPECT_FALSE(desktop_->DatagramSend({kWindow, kSocket}, "no.such.host", port, BytesOf("x")));
    EXPECT_FALSE(desktop_->DatagramSend({kWindow, kSocket}, "127.0.0.1", 0, BytesOf("x")));
    EXPECT_FALSE(desktop_->DatagramSend({kWindow, "标签"}, "127.0.0.1", port, BytesOf("x")));
}

}  // namespace
}  // namespace yz::testing
