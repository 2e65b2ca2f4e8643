#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace q208::e2e {

// What a finished program left behind.
struct ProcessResult {
    int exitCode = -1;  // -1 when it did not finish in time (it was killed) or died of a signal
    bool timedOut = false;
    std::string out;
    std::string err;
};

// A program started from a test: its own environment, its output either captured or sent to
// a log file, and on destruction SIGTERM, then SIGKILL once a grace time has passed.
class ChildProcess {
public:
    using Environment = std::map<std::string, std::string>;  // an empty value removes the variable

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `program` with the test's environment changed by `overrides`; stdout and stderr
    // go to `logFile` (appended). False when the program could not be started.
    bool Start(const std::filesystem::path& program, const std::vector<std::string>& args,
               const Environment& overrides, const std::filesystem::path& logFile);
    bool Running();
    // SIGTERM, then SIGKILL after `graceMs`; the exit code, or -1 for a signal.
    int Stop(int graceMs = 3000);
    pid_t Pid() const { return pid_; }

    // Runs a program to its end (killed after `timeoutMs`), capturing its output.
    static ProcessResult Run(const std::filesystem::path& program, const std::vector<std::string>& args,
                             const Environment& overrides, int timeoutMs);

private:
    // Waits up to `ms` for the child; true once it has been reaped.
    bool WaitFor(int ms);

    pid_t pid_ = -1;
    std::optional<int> status_;
};

}  // namespace q208::e2e
