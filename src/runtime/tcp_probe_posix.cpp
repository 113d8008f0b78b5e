#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "runtime/net.h"
#include "runtime/net_session.h"

namespace yz {

bool TcpConnects(const Text& host, int port, int timeout_ms) {
    const std::optional<std::uint32_t> address = ResolveIPv4(host);
    if (!address || port < 1 || port > 65535) {
        return false;
    }
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<std::uint16_t>(port));
    target.sin_addr.s_addr = *address;
    bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0;
    if (!connected && errno == EINPROGRESS) {
        pollfd writable{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        connected = poll(&writable, 1, std::max(timeout_ms, 0)) == 1 &&
                    getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    close(fd);
    return connected;
}

}  // namespace yz
