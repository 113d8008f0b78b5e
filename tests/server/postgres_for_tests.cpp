#include "server/postgres_for_tests.h"

#include <sodium.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <pqxx/pqxx>

namespace yz::test {

namespace {

const char kMissing[] = "PostgreSQL is not installed (scripts/install-deps installs it)";

// Runs the instance script; its output in `out`, its exit code as the result (-1: not run).
int RunScript(const std::string& arguments, std::string& out) {
    const std::string command = std::string(YZ_POSTGRES_INSTANCE_SCRIPT) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        out += buffer;
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An instance this process started because no shared one was named; stopped at exit.
class PrivateInstance {
  public:
    ~PrivateInstance() {
        if (!dir_.empty()) {
            std::string ignored;
            RunScript("stop " + dir_, ignored);
            std::error_code error;
            std::filesystem::remove_all(dir_, error);
        }
    }

    // The socket directory, or "" with `why` set.
    std::string Directory(std::string& why) {
        std::call_once(once_, [this] {
            char pattern[] = "/tmp/yz-pg.XXXXXX";
            if (mkdtemp(pattern) == nullptr) {
                why_ = "cannot make a directory for PostgreSQL";
                return;
            }
            std::string out;
            const int code = RunScript(std::string("start ") + pattern, out);
            if (code != 0) {
                why_ = code == 3 ? kMissing : "PostgreSQL did not start: " + out;
                std::error_code error;
                std::filesystem::remove_all(pattern, error);
                return;
            }
            dir_ = pattern;
        });
        why = why_;
        return dir_;
    }

  private:
    std::once_flag once_;
    std::string dir_;
    std::string why_;
};

PrivateInstance private_instance;

}  // namespace

bool PostgresMissing(const std::string& why) {
    return why == kMissing;
}

std::string FreshPostgresDatabase(std::string& why) {
    std::string dir;
    if (const char* shared = std::getenv("YZ_TEST_POSTGRES"); shared != nullptr && *shared != '\0') {
        dir = shared;
        if (!std::filesystem::exists(dir + "/data/postmaster.pid")) {
            // The fixture found no PostgreSQL to start (it leaves the directory without data).
            why = kMissing;
            return {};
        }
    } else {
        dir = private_instance.Directory(why);
        if (dir.empty()) {
            return {};
        }
    }
    if (sodium_init() < 0) {
        why = "libsodium did not start";
        return {};
    }
    unsigned char bytes[8];
    randombytes_buf(bytes, sizeof bytes);
    char hex[sizeof bytes * 2 + 1];
    sodium_bin2hex(hex, sizeof hex, bytes, sizeof bytes);
    const std::string name = std::string("test_") + hex;
    try {
        pqxx::connection admin("postgresql://postgres@/postgres?host=" + dir);
        pqxx::nontransaction(admin).exec("CREATE DATABASE " + name);
    } catch (const std::exception& failure) {
        why = std::string("cannot create a test database: ") + failure.what();
        return {};
    }
    return "postgresql://postgres@/" + name + "?host=" + dir;
}

}  // namespace yz::test
