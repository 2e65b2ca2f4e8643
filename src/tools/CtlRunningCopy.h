#pragma once

#include <iosfwd>
#include <optional>

#include "tools/CtlOptions.h"

namespace q208 {

// One program at a time on a device: while q208 runs, q208ctl's device commands are
// executed by it, on its own channels under its locks, instead of opening the same
// devices beside it (both would read each other's answers). The command line goes to the
// running copy's command endpoint; its exit code and output come back and are passed on.
class CtlRunningCopy {
public:
    // Alive check, answered by the endpoint's own thread: a copy that does not answer it
    // is hung or stopped.
    static constexpr int kPingTimeoutMs = 5000;
    // A command through the running copy; commands over the receiver with slow answers
    // take several seconds.
    static constexpr int kCommandTimeoutMs = 60000;

    // The exit code when the command went to a running q208, or was refused because the
    // copy does not answer; nothing when the command is to run here: no copy runs,
    // --direct (with a warning), --simulate (q208ctl's own emulated devices), or the
    // command already runs inside the copy.
    static std::optional<int> Forward(const CtlOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace q208
