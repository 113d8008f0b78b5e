// Load for yanzhou-server (and, for the ceiling, any server of one static page): many clients at
// once, each request on its own connection as HTTP/1.0, the way the program asks.
//
//   server_load --port P --clients 50 --requests 10000 --mix full|showcase --tag a --acks FILE
//       full: 40% showcase list, 20% record queries, 20% publishes, 20% records;
//       showcase: only GET /cxzp.asp (or --path). Prints one line of figures; every acknowledged write goes to
//       FILE ("work <pen name>" or "record <link> <pen name>").
//   server_load --verify FILE --database PATH   (an SQLite file or a PostgreSQL URI)
//       Looks every acknowledged write up in the database (the server stopped); prints how many
//       are missing and exits 1 when any is.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "server/store/open_store.h"

namespace {

struct Options {
    int port = 0;
    int clients = 50;
    int requests = 10000;
    std::string mix = "full";
    std::string path = "/cxzp.asp";
    std::string tag = "a";
    std::string acks;
    std::string verify;
    std::string database;
};

double Seconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The status and body of one GET from loopback address 127.0.1.`client` (each client a machine of
// its own, as the server counts connections per address), or status 0 when no whole answer came.
// The body lies in a buffer of the calling thread, kept from one request to the next so that the
// clients' own copying does not take the processor time the server is measured on.
std::pair<int, std::string_view> Get(int port, const std::string& target, int client) {
    thread_local std::vector<char> answer(256 * 1024);
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return {0, ""};
    }
    sockaddr_in source{};
    source.sin_family = AF_INET;
    source.sin_addr.s_addr = htonl((127u << 24) | (1u << 8) | static_cast<std::uint32_t>(client % 250 + 1));
    if (bind(fd, reinterpret_cast<const sockaddr*>(&source), sizeof source) != 0) {
        close(fd);
        return {0, ""};
    }
    const timeval wait{.tv_sec = 30, .tv_usec = 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::size_t size = 0;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        const std::string request =
            "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: */*\r\nConnection: close\r\n\r\n";
        if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
            ssize_t n = 0;
            while ((n = recv(fd, answer.data() + size, answer.size() - size, 0)) > 0) {
                size += static_cast<std::size_t>(n);
                if (size == answer.size()) {
                    answer.resize(answer.size() * 2);
                }
            }
        }
    }
    close(fd);
    const std::string_view whole(answer.data(), size);
    const auto head_end = whole.find("\r\n\r\n");
    if (!whole.starts_with("HTTP/1.") || head_end == std::string_view::npos || whole.size() < 12) {
        return {0, ""};
    }
    const std::string_view body = whole.substr(head_end + 4);
    // Whole only when the announced length came.
    const auto length_at = whole.find("Content-Length: ");
    if (length_at != std::string_view::npos && length_at < head_end &&
        std::strtoul(whole.data() + length_at + 16, nullptr, 10) != body.size()) {
        return {0, ""};
    }
    return {std::atoi(whole.data() + 9), body};
}

std::string Escape(const std::string& value) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || std::string("&=#%+ ").find(c) != std::string::npos) {
            escaped += {'%', kHex[byte >> 4], kHex[byte & 0x0F]};
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string HotLink(int index) {
    return "http://load.test/hot" + std::to_string(index % 20) + "?ch=1&p=2";
}

int Load(const Options& options) {
    std::atomic<int> next = 0;
    std::atomic<int> errors = 0;
    std::mutex acks_mutex;
    std::vector<std::string> acks;
    const double start = Seconds();
    std::vector<std::thread> clients;
    for (int c = 0; c < options.clients; ++c) {
        clients.emplace_back([&, c] {
            for (int i = next++; i < options.requests; i = next++) {
                const std::string pen = "L" + options.tag + std::to_string(i);
                const int kind = options.mix == "showcase" ? 0 : i % 10;
                std::string target;
                std::string ack;
                std::string record;
                if (kind < 4) {
                    target = options.path;
                } else if (kind < 6) {
                    target = "/cxjl.asp?zplj=" + Escape(HotLink(i));
                } else if (kind < 8) {
                    const std::string link = "http://load.test/w" + options.tag + std::to_string(i) + "?ch=1&p=2";
                    target = "/tjfb.asp?zz=" + pen + "&sm=" + Escape("书名 " + std::to_string(i % 100)) +
                             "&fy=" + Escape("load test") + "&zplj=" + Escape(link);
                    ack = "作品发布成功!";
                    record = "work " + pen;
                } else {
                    target = "/tjjl.asp?zplj=" + Escape(HotLink(i)) + "&zznc=" + pen + "~";
                    ack = "添加记录成功!";
                    record = "record " + HotLink(i) + " " + pen;
                }
                const auto [status, body] = Get(options.port, target, c);
                if (status != 200 || (!ack.empty() && body != ack)) {
                    ++errors;
                } else if (!record.empty()) {
                    std::lock_guard lock(acks_mutex);
                    acks.push_back(record);
                }
            }
        });
    }
    for (auto& client : clients) {
        client.join();
    }
    const double seconds = Seconds() - start;
    if (!options.acks.empty()) {
        std::ofstream file(options.acks);
        for (const std::string& line : acks) {
            file << line << "\n";
        }
    }
    std::cout << "requests " << options.requests << ", clients " << options.clients << ", seconds " << seconds
              << ", requests/s " << static_cast<long>(options.requests / seconds) << ", errors " << errors
              << ", acknowledged writes " << acks.size() << std::endl;
    return 0;
}

int Verify(const Options& options) {
    std::string error;
    const auto store = yz::server::OpenStore(options.database, error);
    if (!store) {
        std::cerr << error << "\n";
        return 2;
    }
    std::set<std::string> pens;
    for (std::int64_t before = 0;;) {
        const auto works = store->ListWorks(before, 1000);
        if (!works) {
            return 2;
        }
        for (const auto& work : *works) {
            pens.insert(work.pen_name);
        }
        if (works->size() < 1000) {
            break;
        }
        before = works->back().id;
    }
    std::map<std::string, std::set<std::string>> visitors;
    std::ifstream file(options.verify);
    std::string kind;
    std::string first;
    std::size_t checked = 0;
    std::size_t missing = 0;
    while (file >> kind >> first) {
        ++checked;
        if (kind == "work") {
            missing += pens.count(first) == 0;
            continue;
        }
        std::string pen;
        file >> pen;
        if (visitors.count(first) == 0) {
            const auto names = store->ListRecords(first, 1000000);
            visitors[first] = names ? std::set<std::string>(names->begin(), names->end()) : std::set<std::string>{};
        }
        missing += visitors[first].count(pen) == 0;
    }
    std::cout << "acknowledged writes checked " << checked << ", lost " << missing << std::endl;
    return missing == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--port") {
            options.port = std::stoi(value);
        } else if (name == "--clients") {
            options.clients = std::stoi(value);
        } else if (name == "--requests") {
            options.requests = std::stoi(value);
        } else if (name == "--mix") {
            options.mix = value;
        } else if (name == "--path") {
            options.path = value;
        } else if (name == "--tag") {
            options.tag = value;
        } else if (name == "--acks") {
            options.acks = value;
        } else if (name == "--verify") {
            options.verify = value;
        } else if (name == "--database") {
            options.database = value;
        }
    }
    return options.verify.empty() ? Load(options) : Verify(options);
}
