// The reachability check on a system where ICMP is not to be had: a child process in a network
// namespace of its own (only its loopback, no ICMP datagram sockets allowed) that has given up
// raw sockets. Ping then fails at once, and the server's port alone decides.

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "online/reachability.h"
#include "runtime/net.h"
#include "support/loopback_socket.h"

namespace yz {
namespace {

enum Outcome {
    kPassed = 0,
    kNoNamespace = 10,  // the system gives no network namespace: nothing to test here
    kNoLoopback,
    kCannotDropRawSockets,
    kIcmpStillThere,
    kNoListener,
    kOpenPortUnreachable,
    kClosedPortReachable,
};

bool LoopbackUp() {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    up = up && ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    close(fd);
    return up;
}

bool DropRawSockets() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0) {
        return false;
    }
    const unsigned bit = 1u << CAP_NET_RAW;
    data[0].effective &= ~bit;
    data[0].permitted &= ~bit;
    data[0].inheritable &= ~bit;
    return syscall(SYS_capset, &header, data) == 0;
}

Outcome WithoutIcmp() {
    if (unshare(CLONE_NEWNET) != 0) {
        return kNoNamespace;
    }
    if (!LoopbackUp()) {
        return kNoLoopback;
    }
    if (!DropRawSockets()) {
        return kCannotDropRawSockets;
    }
    if (Ping("127.0.0.1", 500) != -1) {
        return kIcmpStillThere;
    }
    int port = 0;
    const test::SocketId listener = test::ListenOnLoopback(port);
    if (listener == test::kNoSocket) {
        return kNoListener;
    }
    // The system completes the connection from the listen queue; nobody needs to accept it.
    const bool open_reachable = WebServerReachable("http://127.0.0.1:" + std::to_string(port), 500);
    test::CloseSocket(listener);
    if (!open_reachable) {
        return kOpenPortUnreachable;
    }
    if (WebServerReachable("http://127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()), 500)) {
        return kClosedPortReachable;
    }
    return kPassed;
}

TEST(ReachabilityWithoutIcmpTest, TheServersPortDecides) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "a network namespace of its own needs root";
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(WithoutIcmp());
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    if (WEXITSTATUS(status) == kNoNamespace) {
        GTEST_SKIP() << "no network namespace to be had";
    }
    EXPECT_EQ(WEXITSTATUS(status), kPassed);
}

}  // namespace
}  // namespace yz
