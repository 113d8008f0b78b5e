// The headless desktop's datagram controls as the program and the tests see them.

#include "runtime/headless/headless_desktop.h"
#include "runtime/headless/headless_scope.h"

namespace yz {

bool HeadlessDesktop::DatagramSend(const ControlRef& socket, const Text& host, int port, const Bytes& data) {
    return datagrams_.Send(socket, host, port, data);
}

Bytes HeadlessDesktop::DatagramData(const ControlRef& socket) const {
    return datagrams_.Data(socket);
}

bool HeadlessDesktop::DeliverDatagram(const ControlRef& socket, const Bytes& data) {
    ActionScope scope(*this);
    return datagrams_.Inject(socket, data);
}

bool HeadlessDesktop::WaitForDatagram(int real_ms) {
    ActionScope scope(*this);
    if (!datagrams_.WaitReadable(real_ms)) {
        return false;
    }
    DrainPosted();
    return true;
}

}  // namespace yz
