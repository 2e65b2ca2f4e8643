#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "e2e/ChildProcess.h"

namespace q208::e2e {

// Base of the end-to-end tests: the real q208 (built next to the tests) runs with
// --simulate on the offscreen platform in folders of its own, and the test drives it only
// from outside with the real q208ctl, sharing those folders through the environment.
//
// Nothing here asserts on timing: every wait polls until a deadline and the deadline only
// turns a hang into a failure.
class Q208E2eTest : public ::testing::Test {
protected:
    static constexpr int kStartTimeoutMs = 15000;
    static constexpr int kCtlTimeoutMs = 10000;
    static constexpr int kWaitTimeoutMs = 10000;

    void SetUp() override;
    void TearDown() override;

    // Starts q208 --simulate (plus `extraArgs`) and waits until its endpoint answers
    // (and, when it simulates, the emulator's too). False, with the log in the failure
    // message, when it exits or stays silent.
    bool StartQ208(const std::vector<std::string>& extraArgs = {});
    bool StartQ208Simulating(const std::string& deviceList);
    // q208 on the machine's own HID bus, for what a copy without --simulate does.
    bool StartQ208WithoutSimulation();
    // SIGTERM, then SIGKILL; the exit code (-1 for a signal).
    int StopQ208();
    bool Q208Running() { return q208_.Running(); }
    pid_t Q208Pid() const { return q208_.Pid(); }

    // Runs q208ctl with the test's folders; output and exit code.
    ProcessResult RunCtl(const std::vector<std::string>& args, int timeoutMs = kCtlTimeoutMs) const;
    // Runs q208ctl again and again until its stdout contains `text` (exit code ignored);
    // the last result either way. Use Contains(result, text) to assert.
    ProcessResult WaitForOutput(const std::vector<std::string>& args, const std::string& text,
                                int timeoutMs = kWaitTimeoutMs) const;
    // Runs q208ctl until `done` accepts its result; false with the last result in `last`.
    template <typename Predicate>
    bool WaitUntil(const std::vector<std::string>& args, Predicate done, ProcessResult* last = nullptr,
                   int timeoutMs = kWaitTimeoutMs) const;

    // From `sim state KIND traffic`: how many command reports with this code the emulated
    // device received since it was plugged; -1 when the state could not be read.
    int CommandCount(const std::string& kind, uint8_t code) const;
    // Polls until that count reaches `atLeast`; false on the deadline.
    bool WaitForCommandCount(const std::string& kind, uint8_t code, int atLeast, int timeoutMs = kWaitTimeoutMs) const;

    // The mean colour (six hex digits) of a control in q208's window, from
    // `q208ctl sim probe CONTROL`; "?" when it could not be probed.
    std::string Probe(const std::string& control) const;
    // Probes until `done` accepts the colour; false on the deadline.
    bool WaitForProbe(const std::string& control, const std::function<bool(const std::string&)>& done,
                      int timeoutMs = kWaitTimeoutMs) const;

    static bool Contains(const ProcessResult& result, const std::string& text) {
        return result.out.find(text) != std::string::npos;
    }
    // The text for a failure message: command output and q208's log.
    std::string Describe(const ProcessResult& result) const;
    std::string Q208Log() const;

    // The private folders the spawned programs see as XDG_DATA_HOME, XDG_CONFIG_HOME and
    // XDG_RUNTIME_DIR; the program's own files are in DataFolder() / "Q208" and so on.
    const std::filesystem::path& DataFolder() const { return data_; }
    const std::filesystem::path& ConfigFolder() const { return config_; }
    const std::filesystem::path& RuntimeFolder() const { return runtime_; }
    ChildProcess::Environment Environment() const;
    // Variables a test adds to the programs' environment (PATH with programs of its own).
    ChildProcess::Environment extraEnvironment_;
    // Calls `done` until it is true or the deadline passes.
    bool Poll(const std::function<bool()>& done, int timeoutMs) const;

private:
    // The colour in a probe's answer, which starts with the control's name.
    static std::optional<std::string> ProbedColour(const ProcessResult& result, const std::string& control);
    bool Launch(const std::vector<std::string>& args, bool simulating);
    bool WaitForEndpoints(bool simulating, std::string& why);

    std::filesystem::path root_, data_, config_, runtime_, log_;
    ChildProcess q208_;
};

template <typename Predicate>
bool Q208E2eTest::WaitUntil(const std::vector<std::string>& args, Predicate done, ProcessResult* last,
                            int timeoutMs) const {
    ProcessResult result;
    const bool met = Poll(
        [&] {
            result = RunCtl(args);
            return done(result);
        },
        timeoutMs);
    if (last) *last = std::move(result);
    return met;
}

}  // namespace q208::e2e
