#include "e2e/Q208E2eTest.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/EndpointMessaging.h"
#include "platform/RegisteredMessageNames.h"
#include "sim/SimControl.h"

namespace q208::e2e {
namespace fs = std::filesystem;
namespace {

using Clock = std::chrono::steady_clock;

// Pauses between two polls: short, since a poll is itself a program run.
constexpr auto kPollPause = std::chrono::milliseconds(50);

// Every test of a process gets folders of its own, even when one process runs several.
fs::path NewTestRoot() {
    static std::atomic<int> counter{0};
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.') c = '_';
    }
    // Short: the runtime folder holds sockets, whose paths have a small limit.
    return fs::path(Q208_TEST_HOME) / "e2e" / (std::to_string(getpid()) + "-" + std::to_string(++counter));
}

}  // namespace

void Q208E2eTest::SetUp() {
    root_ = NewTestRoot();
    data_ = root_ / "data";
    config_ = root_ / "config";
    runtime_ = root_ / "run";
    log_ = root_ / "q208.log";
    std::error_code ec;
    fs::remove_all(root_, ec);
    for (const fs::path& folder : {data_, config_, runtime_}) fs::create_directories(folder);
    fs::permissions(runtime_, fs::perms::owner_all, fs::perm_options::replace);
    // The test itself looks for endpoints where the programs it starts put them.
    for (const auto& [name, value] : Environment()) {
        if (name.rfind("XDG_", 0) == 0) ::setenv(name.c_str(), value.c_str(), 1);
    }
}

void Q208E2eTest::TearDown() {
    StopQ208();
    // Kept when the test failed: q208.log and the program's files tell what happened.
    if (!HasFailure()) {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
}

ChildProcess::Environment Q208E2eTest::Environment() const {
    ChildProcess::Environment environment{
        {"XDG_DATA_HOME", data_.string()},
        {"XDG_CONFIG_HOME", config_.string()},
        {"XDG_RUNTIME_DIR", runtime_.string()},
        {"QT_QPA_PLATFORM", "offscreen"},
        {"Q208_DATA_DIR", ""},
    };
    for (const auto& [name, value] : extraEnvironment_) environment[name] = value;
    return environment;
}

bool Q208E2eTest::StartQ208(const std::vector<std::string>& extraArgs) {
    std::vector<std::string> args;
    const bool listGiven = std::any_of(extraArgs.begin(), extraArgs.end(),
                                       [](const std::string& arg) { return arg.rfind("--simulate", 0) == 0; });
    if (!listGiven) args.push_back("--simulate");
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    return Launch(args, true);
}

bool Q208E2eTest::StartQ208WithoutSimulation() { return Launch({}, false); }

bool Q208E2eTest::Launch(const std::vector<std::string>& args, bool simulating, bool asUser) {
    std::filesystem::path program = Q208_EXE;
    std::vector<std::string> arguments = args;
    if (asUser && ::geteuid() == 0) {
        // Root without the capabilities that let it read and write any file; still root, so
        // its folders and endpoints stay the test's.
        program = "/usr/bin/setpriv";
        arguments.insert(arguments.begin(), {"--bounding-set", "-dac_override,-dac_read_search", "--", Q208_EXE});
    }
    if (!q208_.Start(program, arguments, Environment(), log_)) {
        ADD_FAILURE() << "q208 could not be started from " << Q208_EXE;
        return false;
    }
    std::string why;
    if (!WaitForEndpoints(simulating, why)) {
        ADD_FAILURE() << why << "\n--- q208 log ---\n" << Q208Log();
        StopQ208();
        return false;
    }
    return true;
}

bool Q208E2eTest::StartQ208Simulating(const std::string& deviceList) {
    return StartQ208({"--simulate=" + deviceList});
}

bool Q208E2eTest::StartQ208SimulatingAsUser(const std::string& deviceList) {
    return Launch({"--simulate=" + deviceList}, true, true);
}

int Q208E2eTest::StopQ208() { return q208_.Stop(); }

bool Q208E2eTest::WaitForEndpoints(bool simulating, std::string& why) {
    const bool up = Poll(
        [&] {
            if (!q208_.Running()) return true;  // no use waiting; decided below
            return FindWindow(kMainWindowClass, kMainWindowTitle).has_value() &&
                   (!simulating || FindWindow(sim::kSimEndpointClass, kMainWindowTitle).has_value());
        },
        kStartTimeoutMs);
    if (!q208_.Running()) {
        why = "q208 exited during start-up";
        return false;
    }
    if (!up) why = "q208's endpoint did not answer within " + std::to_string(kStartTimeoutMs) + " ms";
    return up;
}

ProcessResult Q208E2eTest::RunCtl(const std::vector<std::string>& args, int timeoutMs) const {
    return ChildProcess::Run(Q208CTL_EXE, args, Environment(), timeoutMs);
}

ProcessResult Q208E2eTest::WaitForOutput(const std::vector<std::string>& args, const std::string& text,
                                         int timeoutMs) const {
    ProcessResult last;
    WaitUntil(args, [&](const ProcessResult& result) { return Contains(result, text); }, &last, timeoutMs);
    return last;
}

bool Q208E2eTest::Poll(const std::function<bool()>& done, int timeoutMs) const {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (done()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollPause);
    }
}

int Q208E2eTest::CommandCount(const std::string& kind, uint8_t code) const {
    const ProcessResult result = RunCtl({"sim", "state", kind, "traffic"});
    if (result.exitCode != 0) return -1;
    static constexpr char kDigits[] = "0123456789abcdef";
    const std::string prefix = std::string("count ") + kDigits[code >> 4] + kDigits[code & 0xF] + ' ';
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prefix, 0) == 0) return std::atoi(line.c_str() + prefix.size());
    }
    return 0;
}

bool Q208E2eTest::WaitForCommandCount(const std::string& kind, uint8_t code, int atLeast, int timeoutMs) const {
    return Poll([&] { return CommandCount(kind, code) >= atLeast; }, timeoutMs);
}

std::optional<std::string> Q208E2eTest::ProbedColour(const ProcessResult& result, const std::string& control) {
    const std::string prefix = control + " ";
    if (result.exitCode != 0 || result.out.rfind(prefix, 0) != 0) return std::nullopt;
    return result.out.substr(prefix.size(), 6);
}

std::string Q208E2eTest::Probe(const std::string& control) const {
    return ProbedColour(RunCtl({"sim", "probe", control}), control).value_or("?");
}

bool Q208E2eTest::WaitForProbe(const std::string& control, const std::function<bool(const std::string&)>& done,
                               int timeoutMs) const {
    return WaitUntil(
        {"sim", "probe", control},
        [&](const ProcessResult& result) {
            const auto colour = ProbedColour(result, control);
            return colour && done(*colour);
        },
        nullptr, timeoutMs);
}

std::string Q208E2eTest::Q208Log() const {
    std::ifstream in(log_);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Q208E2eTest::Describe(const ProcessResult& result) const {
    std::ostringstream text;
    text << "exit " << result.exitCode << (result.timedOut ? " (timed out)" : "") << "\n--- stdout ---\n"
         << result.out << "--- stderr ---\n"
         << result.err;
    return text.str();
}

}  // namespace q208::e2e
