#pragma once

// The writers' chat played on the headless desktop. Datagrams go out for real on loopback, to the
// fixture's own port; a listener in the test reads what was sent.

#include <optional>

#include "app/program_fixture.h"
#include "runtime/datagram_socket.h"
#include "runtime/headless/headless_keys.h"

namespace yz::test {

using namespace ui;

inline constexpr int kEnter = 13;
inline constexpr int kF11 = 122;
inline constexpr int kWaitMs = 5000;  // a deadline for loopback datagrams, never a pause

inline const Text kOpenTail = " --霁川软件 [文笔交互]: Ctrl + 回车键 随机发送发言框内容.";

class ChatTest : public ProgramTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Start());
        // The start-up without a server waited 2 s and left its notice: the chat's own times and
        // balloons begin now.
        desktop_.ForgetBalloons();
        desktop_.SetLocalDateTime(DateTime{2026, 12, 8, 14, 30, 0});
        program_->ReplacePortalProbeForTesting([this] { return portal_up_; });
        ASSERT_TRUE(listener_.bound());
    }

    void OpenPanel() { ASSERT_TRUE(desktop_.PickMenuItem(kMainWindow, "文笔交互 Alt+E")); }

    // Opens the panel, types the message and presses Ctrl+Enter.
    void Send(const Text& message) {
        OpenPanel();
        ASSERT_TRUE(desktop_.TypeText(发言框, message));
        ASSERT_TRUE(desktop_.PressKey(发言框, kEnter, vk::kCtrl));
    }

    // The next datagram the listener hears, waiting for it up to a deadline.
    std::optional<Text> Heard() {
        if (!listener_.WaitReadable(kWaitMs)) {
            return std::nullopt;
        }
        const std::optional<Bytes> bytes = listener_.Receive();
        return bytes ? std::optional<Text>(Text(bytes->begin(), bytes->end())) : std::nullopt;
    }

    // Waits until the program has shown `count` balloons (its own broadcasts come back to it).
    void AwaitBalloons(std::size_t count) {
        while (desktop_.balloons().size() < count && desktop_.WaitForDatagram(kWaitMs)) {
        }
        ASSERT_EQ(desktop_.balloons().size(), count);
    }

    void Deliver(const Text& bytes) { ASSERT_TRUE(desktop_.DeliverDatagram(数据报, BytesOf(bytes))); }

    bool Shown(const ControlRef& ref) const { return GetFlag(desktop_, ref, Property::kVisible); }
    bool Enabled(const ControlRef& ref) const { return !GetFlag(desktop_, ref, Property::kDisabled); }
    Text TextOf(const ControlRef& ref) const { return GetText(desktop_, ref, Property::kText); }

    // Closed: the message box hidden and disabled, the editor back with the focus.
    void ExpectPanelClosed() const {
        EXPECT_FALSE(Shown(发言框));
        EXPECT_FALSE(Enabled(发言框));
        EXPECT_TRUE(Enabled(主编框));
        EXPECT_TRUE(Shown(操作标签));
        EXPECT_FALSE(Shown(返回超钮));
        EXPECT_EQ(desktop_.FocusedControl(), 主编框);
    }

    BalloonRecord ExpectedBalloon(const Text& rich_text) const {
        const auto left = GetNumber(desktop_, 主窗, Property::kLeft);
        const auto width = GetNumber(desktop_, 主窗, Property::kWidth);
        const auto top = GetNumber(desktop_, 主窗, Property::kTop);
        return BalloonRecord{气球客服, static_cast<int>(left + width - 30), static_cast<int>(top + 60), rich_text, -1,
                             true};
    }

    void UnlockConsole() {
        OpenPanel();
        ASSERT_TRUE(desktop_.PressKey(发言框, kF11, vk::kCtrl | vk::kAlt));
        ASSERT_TRUE(desktop_.TypeText(密令编框, "47085316"));
        ASSERT_TRUE(desktop_.PressKey(密令编框, kEnter));
    }

    bool portal_up_ = true;
    DatagramSocket listener_{deployment_.broadcast_port};
};

}  // namespace yz::test
