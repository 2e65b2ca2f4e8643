#pragma once

#include <cstdint>
#include <deque>
#include <iosfwd>
#include <mutex>
#include <memory>
#include <string>
#include <string_view>

#include "sim/SimVerbs.h"

namespace q208::sim {

class SimDeviceSet;

// Emulator verbs for a program that runs its own emulated devices (q208ctl --simulate):
// one verb a line, in order. A plain line runs at Start; "@N VERB" waits until the devices
// have received N output reports since Start, so it lands between two transfers; "@end
// VERB" runs at Finish. Blank lines and lines starting with '#' are skipped.
class SimScript {
public:
    // Nothing, with "line N: why" in `error`, when a line's timing prefix does not parse
    // (the verbs themselves are checked when they run).
    static std::unique_ptr<SimScript> Parse(std::string_view text, std::string& error);

    SimScript() = default;
    SimScript(const SimScript&) = delete;
    SimScript& operator=(const SimScript&) = delete;
    ~SimScript();

    // Runs the plain lines and hooks the devices for the timed ones; verb output goes to
    // `out`. The first failing verb's status (SimVerbs) with "line N: why" in `error`, else 0.
    int Start(SimDeviceSet& devices, std::ostream& out, std::string& error);
    // Unhooks, runs the "@end" lines; timed lines never reached are skipped and named in
    // `error`. Status as for Start.
    int Finish(std::string& error);

private:
    static constexpr uint64_t kAtEnd = UINT64_MAX;
    struct Line {
        int number;
        uint64_t after;  // output reports to wait for; kAtEnd for "@end"
        std::string verb;
    };

    int RunLine(const Line& line, std::string& error);
    // Runs every waiting line that is due now.
    void OnOutputReport();

    std::deque<Line> lines_;
    SimDeviceSet* devices_ = nullptr;
    std::ostream* out_ = nullptr;
    std::mutex mutex_;  // the waiting lines, the count and the first late failure
    uint64_t reports_ = 0;
    int lateStatus_ = 0;
    std::string lateError_;
};

}  // namespace q208::sim
