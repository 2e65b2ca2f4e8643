#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace q208::sim {

class SimDeviceSet;

// What a verb line did: a status and the text for the user (the output, or the reason).
struct SimVerbResult {
    int status = 0;
    std::string text;
};

// The vocabulary that drives and observes emulated devices from outside, one line a verb:
//   plug|unplug KIND                     the device's cable
//   link|unlink KIND                     the receiver's link to its keyboard or mouse
//   state KIND [AREA]                    memory and traffic as text
//   input KIND EVENT [ARGUMENTS]         an input report the device sends
//   set KIND NAME=VALUE ...              status and information block bytes
//   fault KIND FAULT [COUNT] | clear     faults of the coming transactions
// KIND as in q208ctl's --device. The same class runs behind a simulating q208's endpoint
// and inside q208ctl --simulate; it only uses the set's thread-safe operations, so lines may
// come from any thread.
class SimVerbs {
public:
    static constexpr int kDone = 0;
    static constexpr int kBadLine = 1;  // unknown verb, kind, area, event, fault or value
    static constexpr int kRefused = 2;  // well formed, but the device cannot do it now

    explicit SimVerbs(SimDeviceSet& devices) : devices_(devices) {}

    SimVerbResult Run(std::string_view line);
    SimVerbResult Run(const std::vector<std::string>& words);

    // One line per verb, for usage texts.
    static std::string Synopsis();
    // The words of a line, split at blanks.
    static std::vector<std::string> Split(std::string_view line);

private:
    SimDeviceSet& devices_;
};

}  // namespace q208::sim
