#pragma once

#include <iosfwd>

#include "tools/CtlOptions.h"

namespace q208 {

// `q208ctl sim plug|unplug|link|unlink KIND`: changes the emulated devices of a q208 that
// runs with --simulate, as if a cable were plugged or a wireless device switched on.
class SimCommand {
public:
    static int Run(const CtlOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace q208
