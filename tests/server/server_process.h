#pragma once

// The real yanzhou-server program run as a child process: started on a free loopback port and
// stopped with a signal, or run once with an admin command.

#include <sys/types.h>

#include <string>
#include <vector>

namespace yz::test {

// The yanzhou-server program this build made.
std::string ServerProgram();

struct ProgramRun {
    int exit_code = -1;  // -1 when it did not end by itself within the deadline (then it was killed)
    std::string out;
    std::string errors;
};

// Runs yanzhou-server with `arguments` to its end (at most 60 s).
ProgramRun RunServerProgram(const std::vector<std::string>& arguments);

class ServerProcess {
  public:
    // Starts `yanzhou-server --database <database> --port 0 --console-port 0 <options>` and waits
    // for its ready line and its console line. started() is false when the ready line did not
    // come; output() then holds what it printed.
    explicit ServerProcess(const std::string& database, const std::vector<std::string>& options = {});
    ~ServerProcess();  // kills the server when it still runs
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    bool started() const { return port_ > 0; }
    int port() const { return port_; }
    int console_port() const { return console_port_; }
    const std::string& ready_line() const { return ready_line_; }

    // Sends `signal_number` (0: none) and waits for the end: the exit code, -1 when it did not end in 60 s,
    // or 128 + the signal when the signal killed it.
    int Stop(int signal_number);
    // Everything written so far on standard output and error (after Stop: everything).
    std::string output() const { return output_; }

  private:
    pid_t pid_ = -1;
    int pipe_fd_ = -1;
    int port_ = 0;
    int console_port_ = 0;
    std::string ready_line_;
    std::string output_;
};

}  // namespace yz::test
