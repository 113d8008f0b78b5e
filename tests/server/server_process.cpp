#include "server/server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

extern char** environ;

namespace yz::test {

namespace {

// Seconds on a monotonic clock; <chrono> does not compile with the GBK execution character set.
double Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}
constexpr double kDeadlineSeconds = 60;

// Starts the server with its standard output and error on pipes; -1 on failure. With `merged`,
// both go to the first pipe and `errors_fd` is -1.
pid_t Spawn(const std::vector<std::string>& arguments, int& out_fd, int& errors_fd, bool merged) {
    int out_pipe[2];
    int errors_pipe[2];
    if (pipe(out_pipe) != 0) {
        return -1;
    }
    if (pipe(errors_pipe) != 0) {
        close(out_pipe[0]);
        close(out_pipe[1]);
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, merged ? out_pipe[1] : errors_pipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
    posix_spawn_file_actions_addclose(&actions, errors_pipe[0]);
    const std::string program = ServerProgram();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out_pipe[1]);
    close(errors_pipe[1]);
    out_fd = out_pipe[0];
    errors_fd = errors_pipe[0];
    if (merged) {
        close(errors_fd);
        errors_fd = -1;
    }
    return pid;
}

// Reads what `fd` has within `wait_ms`; false at its end or on an error.
bool ReadSome(int fd, std::string& into, int wait_ms) {
    pollfd watched{.fd = fd, .events = POLLIN, .revents = 0};
    if (poll(&watched, 1, wait_ms) <= 0) {
        return true;
    }
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) {
        return false;
    }
    into.append(buffer, static_cast<std::size_t>(n));
    return true;
}

// The exit code, 128 + signal, or -1 when the child did not end before the deadline.
int WaitFor(pid_t pid, double deadline) {
    while (Now() < deadline) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        const timespec pause{.tv_sec = 0, .tv_nsec = 10'000'000};
        nanosleep(&pause, nullptr);
    }
    return -1;
}

}  // namespace

std::string ServerProgram() {
    return YZ_SERVER_PROGRAM;
}

ProgramRun RunServerProgram(const std::vector<std::string>& arguments) {
    ProgramRun run;
    int out_fd = -1;
    int errors_fd = -1;
    const pid_t pid = Spawn(arguments, out_fd, errors_fd, false);
    if (pid < 0) {
        return run;
    }
    const auto deadline = Now() + kDeadlineSeconds;
    bool out_open = true;
    bool errors_open = true;
    while ((out_open || errors_open) && Now() < deadline) {
        out_open = out_open && ReadSome(out_fd, run.out, 20);
        errors_open = errors_open && ReadSome(errors_fd, run.errors, 20);
    }
    close(out_fd);
    close(errors_fd);
    run.exit_code = WaitFor(pid, deadline);
    if (run.exit_code < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return run;
}

ServerProcess::ServerProcess(const std::string& database, const std::vector<std::string>& options) {
    int errors_fd = -1;
    std::vector<std::string> arguments = {"--database", database, "--port", "0", "--console-port", "0"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    pid_ = Spawn(arguments, pipe_fd_, errors_fd, true);
    if (pid_ < 0) {
        return;
    }
    const auto deadline = Now() + kDeadlineSeconds;
    bool open = true;
    const auto lines = [this] { return std::count(output_.begin(), output_.end(), '\n'); };
    while (open && Now() < deadline && lines() < 2) {
        open = ReadSome(pipe_fd_, output_, 20);
    }
    const auto end = output_.find('\n');
    if (end != std::string::npos) {
        ready_line_ = output_.substr(0, end);
        const auto colon = ready_line_.rfind(':');
        if (ready_line_.rfind("yanzhou-server ready on http://", 0) == 0 && colon != std::string::npos) {
            port_ = std::atoi(ready_line_.c_str() + colon + 1);
        }
        const std::string console_line = output_.substr(end + 1, output_.find('\n', end + 1) - end - 1);
        const auto console_colon = console_line.rfind(':');
        if (console_line.rfind("yanzhou-server console on http", 0) == 0 && console_colon != std::string::npos) {
            console_port_ = std::atoi(console_line.c_str() + console_colon + 1);
        }
    }
}

int ServerProcess::Stop(int signal_number) {
    if (pid_ < 0) {
        return -1;
    }
    if (signal_number != 0) {
        kill(pid_, signal_number);
    }
    const auto deadline = Now() + kDeadlineSeconds;
    while (ReadSome(pipe_fd_, output_, 20) && Now() < deadline) {
    }
    const int code = WaitFor(pid_, deadline);
    if (code < 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
    return code;
}

ServerProcess::~ServerProcess() {
    if (pid_ >= 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (pipe_fd_ >= 0) {
        close(pipe_fd_);
    }
}

}  // namespace yz::test
