// The Win32 desktop's datagram unit: its socket reports through the message queue, and each
// datagram arrives as one event whose handler reads the bytes.

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "runtime/datagram_socket.h"
#include "runtime/text.h"
#include "win32_test_window.h"

namespace yz::testing {
namespace {

constexpr char kSocket[] = "数据报";

// Milliseconds on the performance counter (<chrono> does not compile to the GBK character set).
double NowMs() {
    LARGE_INTEGER count{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void SleepUntil(double ms) {
    const double left = ms - NowMs();
    if (left > 0) {
        Sleep(static_cast<DWORD>(left));
    }
}

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

// Anyone on the network can flood the chat port. The window must stay the writer's: 10,000
// datagrams in 2 s, each shown as a balloon the way the chat shows them, while a key is typed
// every 50 ms. Every key must be handled, each within a generous deadline (a frozen window takes
// seconds; the latencies seen are printed), and no more balloons pop up than one per half second.
TEST_F(DesktopTest, TypingKeepsItsTurnThroughADatagramFlood) {
    constexpr int kDatagrams = 10000;
    constexpr int kKeys = 40;
    constexpr double kKeyDeadlineMs = 1000;

    const int port = DatagramSocket(0).port();
    WindowTemplate window = TestWindow();
    ControlTemplate socket = Control(kSocket, ControlKind::kDatagramSocket, {});
    socket.port = port;
    socket.broadcast_address = "127.255.255.255";
    window.controls.push_back(socket);
    Load(window);
    const ControlRef tip{kWindow, "提示"};
    int arrived = 0;
    bool last_arrived = false;
    desktop_->Bind({kWindow, kSocket}, EventKind::kDatagramArrived, [&](const Event&) {
        ++arrived;
        const Bytes data = desktop_->DatagramData({kWindow, kSocket});
        const Text body(data.begin() + std::min<std::ptrdiff_t>(4, std::ssize(data)), data.end());
        last_arrived = last_arrived || body == "last";
        desktop_->ShowTip(tip, 300, 100, "<font color=Blue>[潜水写手]说: " + CutGbkAtBoundary(body, 72) + "</font>", -1,
                          true);
        return true;
    });
    std::atomic<int> handled{0};
    std::vector<double> typed_at(kKeys);
    std::vector<double> handled_at(kKeys);
    desktop_->Bind({kWindow, "备注"}, EventKind::kKeyDown, [&](const Event&) {
        const int key = handled.load();
        if (key < kKeys) {
            handled_at[static_cast<std::size_t>(key)] = NowMs();
        }
        handled.store(key + 1);
        return true;
    });
    desktop_->SetFocus({kWindow, "备注"});
    SetForegroundWindow(Hwnd());
    // The first balloon of a process, and the first key a thread types, load a font and set up
    // the thread's input, once: not what is measured here.
    desktop_->ShowTip(tip, 300, 100, "预热", -1, true);
    std::atomic<bool> typist_ready{false};

    std::atomic<bool> flood_done{false};
    std::thread flood([&] {
        DatagramSocket sender(0);
        while (!typist_ready) {
            Sleep(1);
        }
        const Text filler = "X^XZ" + Text(60, 'F');
        const Text huge = "X^XZ" + Text(60000, 'H');
        const double start = NowMs();
        for (int i = 0; i < kDatagrams; ++i) {
            if (i % 50 == 0) {
                SleepUntil(start + i / 5.0);  // 5 per ms
            }
            sender.Send(i % 2 == 0 ? "127.0.0.1" : "127.255.255.255", port, BytesOf(i % 100 == 0 ? huge : filler));
        }
        flood_done = true;
    });
    std::atomic<int> late_keys{0};
    std::atomic<bool> typing_done{false};
    std::thread typist([&] {
        keybd_event(VK_SHIFT, 0, 0, 0);
        keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
        while (handled.load() == 0) {
            Sleep(1);
        }
        handled.store(0);
        typist_ready = true;
        const double start = NowMs();
        for (int key = 0; key < kKeys; ++key) {
            SleepUntil(start + 50.0 * key);
            typed_at[static_cast<std::size_t>(key)] = NowMs();
            const BYTE letter = static_cast<BYTE>('A' + key % 26);
            const auto scan = static_cast<BYTE>(MapVirtualKeyW(letter, MAPVK_VK_TO_VSC));
            keybd_event(letter, scan, 0, 0);
            keybd_event(letter, scan, KEYEVENTF_KEYUP, 0);
            const double deadline = NowMs() + kKeyDeadlineMs;
            while (handled.load() <= key && NowMs() < deadline) {
                Sleep(1);
            }
            if (handled.load() <= key) {
                ++late_keys;
            }
        }
        typing_done = true;
    });
    const double started = NowMs();
    std::vector<HWND> balloons;
    while (!typing_done || !flood_done) {
        desktop_->DelayWithEvents(5);
        HWND shown = desktop_->BalloonOf(tip);
        if (shown != nullptr && (balloons.empty() || balloons.back() != shown)) {
            balloons.push_back(shown);
        }
    }
    typist.join();
    flood.join();
    const auto busy_ms = static_cast<long long>(NowMs() - started);

    EXPECT_EQ(late_keys.load(), 0) << "keys not handled within " << kKeyDeadlineMs << " ms";
    ASSERT_EQ(handled.load(), kKeys);
    Text expected;
    for (int key = 0; key < kKeys; ++key) {
        expected += static_cast<char>('a' + key % 26);
    }
    for (int waited = 0; waited < 5000 && TextOf("备注") != expected; waited += 10) {
        desktop_->DelayWithEvents(10);
    }
    EXPECT_EQ(TextOf("备注"), expected);
    EXPECT_LE(static_cast<long long>(balloons.size()), busy_ms / 500 + 2);

    // Once the flood is over the socket reports each datagram again. (While its buffer is still
    // full of the flood, the system drops what comes: sent again until one is read.)
    DatagramSocket last(0);
    for (int waited = 0; waited < 5000 && !last_arrived; waited += 10) {
        if (waited % 100 == 0) {
            last.Send("127.0.0.1", port, BytesOf("X^XZlast"));
        }
        desktop_->DelayWithEvents(10);
    }
    EXPECT_TRUE(last_arrived);

    std::vector<double> latencies;
    for (std::size_t key = 0; key < kKeys; ++key) {
        latencies.push_back(handled_at[key] - typed_at[key]);
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("flood: %d of %d datagrams handled, %zu balloons in %lld ms; key latency median %.1f ms, max %.1f ms\n",
                arrived, kDatagrams, balloons.size(), busy_ms, latencies[kKeys / 2], latencies.back());
}

}  // namespace
}  // namespace yz::testing
