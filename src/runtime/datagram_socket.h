#pragma once

// One UDP socket of the datagram service: bound to every local IPv4 address on a port that other
// programs may bind too (so several copies on one machine all hear a broadcast), with broadcasting
// allowed and reads that never block. The UI backends build their datagram controls on it; the
// Win32 one also asks the socket to report through the window's message queue.

#include <cstdint>
#include <memory>
#include <optional>

#include "runtime/types.h"

namespace yz {

class DatagramSocket {
  public:
    // Makes the socket and binds it; bound() tells whether that worked.
    explicit DatagramSocket(int port);
    ~DatagramSocket();
    DatagramSocket(const DatagramSocket&) = delete;
    DatagramSocket& operator=(const DatagramSocket&) = delete;

    bool bound() const { return bound_; }
    // The local port, 0 when not bound (a port of 0 asked the system for an unused one).
    int port() const { return port_; }

    // One datagram to a dotted IPv4 address. False when the socket is not bound, the address or
    // port is not valid, or the send fails.
    bool Send(const Text& host, int port, ByteView data);
    // The next datagram waiting (possibly empty), without blocking; nullopt when none is waiting
    // or the read fails. A datagram of any size up to 65535 bytes is read whole.
    std::optional<Bytes> Receive();
    // Blocks up to `milliseconds` until a datagram is waiting; true when one is.
    bool WaitReadable(int milliseconds);

    // The system's handle (a file descriptor, or a SOCKET on Windows); only for the Win32 desktop's
    // message-queue notification.
    std::uintptr_t native_handle() const { return handle_; }

  private:
    std::uintptr_t handle_;
    bool bound_ = false;
    int port_ = 0;
};

// A dotted IPv4 address ("a.b.c.d", each 0..255 in decimal) as a host-order number; nullopt for
// anything else.
std::optional<std::uint32_t> ParseDottedAddress(const Text& host);
// Whether a dotted IPv4 address lies in 127.0.0.0/8.
bool IsLoopbackAddress(const Text& host);

}  // namespace yz
