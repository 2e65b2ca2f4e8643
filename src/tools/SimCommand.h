#pragma once

#include <iosfwd>

#include "tools/CtlOptions.h"

namespace q208 {

// `q208ctl sim VERB KIND ...`: one verb of the emulator's vocabulary (sim/SimVerbs.h) for
// the emulated devices of a running `q208 --simulate`, its text output on stdout.
// Exit codes: 0 done; 1 a bad verb line; 2 the emulator refused it, or the running copy
// does not simulate; 3 no running q208.
class SimCommand {
public:
    static constexpr int kTimeoutMs = 5000;

    static int Run(const CtlOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace q208
