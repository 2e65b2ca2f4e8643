#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "sim/SimVerbs.h"

namespace q208::sim {

class SimDeviceSet;

// The verbs of the uhid bridge on top of the emulator's (SimVerbs), for checks that must
// land inside a command another program runs:
//   after N VERB ...    VERB runs once the devices have answered N more output reports,
//                       between that answer and the next report (so inside a multi-report
//                       command, or "unplug" inside a key-map read)
//   repeat N VERB ...   VERB runs N times at once (a burst of input reports)
// They nest: "after 2 repeat 200 input keyboard key 64 down".
class BridgeVerbs {
public:
    static constexpr uint32_t kMaxCount = 100000;

    explicit BridgeVerbs(SimDeviceSet& devices) : devices_(devices) {}

    // Any verb line: the bridge's own, else the emulator's.
    SimVerbResult Run(const std::string& line);
    // The bridge calls this after each output report the devices answered.
    void OnAnswered();
    // Timed lines still waiting.
    size_t Waiting() const;

private:
    struct Timed {
        uint64_t due;  // the answer count at which the line runs
        std::string line;
    };

    std::optional<SimVerbResult> RunOwn(const std::vector<std::string>& words);

    SimDeviceSet& devices_;
    mutable std::mutex mutex_;
    uint64_t answered_ = 0;
    std::deque<Timed> waiting_;
};

}  // namespace q208::sim
