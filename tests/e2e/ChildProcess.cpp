#include "e2e/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

namespace q208::e2e {
namespace {

using Clock = std::chrono::steady_clock;

// The environment as "NAME=value" strings: ours, with the overrides applied.
std::vector<std::string> MakeEnvironment(const ChildProcess::Environment& overrides) {
    std::map<std::string, std::string> values;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const auto equals = text.find('=');
        if (equals != std::string::npos) values[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : overrides) {
        if (value.empty()) {
            values.erase(name);
        } else {
            values[name] = value;
        }
    }
    std::vector<std::string> env;
    for (const auto& [name, value] : values) env.push_back(name + "=" + value);
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// posix_spawn with the file actions prepared by the caller; -1 on failure.
pid_t Spawn(const std::filesystem::path& program, const std::vector<std::string>& args,
            const ChildProcess::Environment& overrides, posix_spawn_file_actions_t* actions) {
    std::vector<std::string> argv{program.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> env = MakeEnvironment(overrides);
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> envPointers = Pointers(env);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), actions, nullptr, argvPointers.data(), envPointers.data()) != 0) return -1;
    return pid;
}

class Pipe {
public:
    Pipe() {
        if (::pipe2(fds_.data(), O_CLOEXEC) != 0) fds_ = {-1, -1};
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool Ok() const { return fds_[0] >= 0; }
    int Read() const { return fds_[0]; }
    int Write() const { return fds_[1]; }
    void CloseRead() { Close(fds_[0]); }
    void CloseWrite() { Close(fds_[1]); }

private:
    static void Close(int& fd) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    std::array<int, 2> fds_{-1, -1};
};

int MsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Reads both pipes until both are closed or the deadline passes; false on the deadline.
bool Drain(Pipe& out, Pipe& err, ProcessResult& result, Clock::time_point deadline) {
    bool outOpen = true, errOpen = true;
    while (outOpen || errOpen) {
        std::array<pollfd, 2> fds{pollfd{outOpen ? out.Read() : -1, POLLIN, 0},
                                  pollfd{errOpen ? err.Read() : -1, POLLIN, 0}};
        const int ready = ::poll(fds.data(), fds.size(), MsUntil(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        auto take = [](const pollfd& fd, bool& open, std::string& into) {
            if (!open || fd.revents == 0) return;
            char buffer[4096];
            const ssize_t n = ::read(fd.fd, buffer, sizeof buffer);
            if (n > 0) {
                into.append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                open = false;
            }
        };
        take(fds[0], outOpen, result.out);
        take(fds[1], errOpen, result.err);
    }
    return true;
}

int ExitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

}  // namespace

ChildProcess::~ChildProcess() { Stop(); }

bool ChildProcess::Start(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const Environment& overrides, const std::filesystem::path& logFile) {
    if (pid_ > 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_ = Spawn(program, args, overrides, &actions);
    posix_spawn_file_actions_destroy(&actions);
    status_.reset();
    return pid_ > 0;
}

bool ChildProcess::WaitFor(int ms) {
    if (pid_ <= 0) return true;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_ || (done < 0 && errno == ECHILD)) {
            status_ = status;
            pid_ = -1;
            return true;
        }
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool ChildProcess::Running() { return pid_ > 0 && !WaitFor(0); }

int ChildProcess::Stop(int graceMs) {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        if (!WaitFor(graceMs)) {
            ::kill(pid_, SIGKILL);
            WaitFor(60000);
        }
    }
    return status_ ? ExitCodeOf(*status_) : -1;
}

ProcessResult ChildProcess::Run(const std::filesystem::path& program, const std::vector<std::string>& args,
                                const Environment& overrides, int timeoutMs) {
    ProcessResult result;
    Pipe out, err;
    if (!out.Ok() || !err.Ok()) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.Write(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.Write(), STDERR_FILENO);
    const pid_t pid = Spawn(program, args, overrides, &actions);
    posix_spawn_file_actions_destroy(&actions);
    out.CloseWrite();
    err.CloseWrite();
    if (pid <= 0) return result;

    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    result.timedOut = !Drain(out, err, result, deadline);
    if (result.timedOut) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = result.timedOut ? -1 : ExitCodeOf(status);
    return result;
}

}  // namespace q208::e2e
