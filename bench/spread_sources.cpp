// Preloaded into a load tool that connects from one address (wrk): every IPv4 connection is made
// from the next of the loopback addresses 127.0.1.1 to 127.0.1.250, as writers' programs connect
// from machines of their own and yanzhou-server holds at most 32 connections per address.
// Usage: LD_PRELOAD=.../libspread_sources.so wrk ...

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <cstdint>

namespace {

std::atomic<std::uint32_t> next_source = 0;

}  // namespace

extern "C" int connect(int fd, const sockaddr* address, socklen_t length) {
    using Connect = int (*)(int, const sockaddr*, socklen_t);
    static const auto real_connect = reinterpret_cast<Connect>(dlsym(RTLD_NEXT, "connect"));
    if (address != nullptr && address->sa_family == AF_INET) {
        sockaddr_in source{};
        source.sin_family = AF_INET;
        source.sin_addr.s_addr = htonl((127u << 24) | (1u << 8) | (next_source.fetch_add(1) % 250 + 1));
        bind(fd, reinterpret_cast<const sockaddr*>(&source), sizeof source);
    }
    return real_connect(fd, address, length);
}
