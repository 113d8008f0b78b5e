#pragma once

// The datagram controls of the headless desktop's windows: real UDP sockets, which only ever send
// to loopback (the headless desktop is the tests' machine; a test must never reach the network).
// The desktop takes what arrived from its event processing, one datagram per event.

#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "runtime/datagram_socket.h"
#include "runtime/ui_service.h"

namespace yz {

class HeadlessDatagrams {
  public:
    // Opens the socket of every datagram control of the window.
    void OpenWindow(const WindowTemplate& window);
    void CloseWindow(const Text& window);

    bool Send(const ControlRef& ref, const Text& host, int port, const Bytes& data);
    Bytes Data(const ControlRef& ref) const;
    // Whether the control has a bound socket.
    bool Bound(const ControlRef& ref) const;

    // Takes one datagram waiting at any socket (or handed in by Inject) and keeps it as that
    // control's data; the control, or nullopt when nothing is waiting.
    std::optional<ControlRef> TakeNext();
    // A datagram as if it had just arrived at the control (false when it has no socket).
    bool Inject(const ControlRef& ref, const Bytes& data);
    // Blocks up to `milliseconds` of real time until a datagram waits at some socket.
    bool WaitReadable(int milliseconds);

  private:
    struct Unit {
        std::unique_ptr<DatagramSocket> socket;
        Text broadcast_address;
        Bytes data;
        std::vector<Bytes> injected;
    };
    using Key = std::pair<Text, Text>;

    std::map<Key, Unit> units_;
};

}  // namespace yz
