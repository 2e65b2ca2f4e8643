#pragma once

#include <iosfwd>

#include "tools/CtlCommandTable.h"
#include "tools/CtlOptions.h"

namespace q208 {

// q208ctl's macro commands on a device's macros in its profile folder (--device keyboard or
// mouse; the keyboard without it):
//   macro list | show NAME | create | import FILE | export NAME FILE | rename OLD NEW | delete NAME
// NAME is a macro's name (letter case aside) or its index. `delete` also renumbers the macro
// keys of every profile of the device. A refused operation prints its message and exits 2.
// While q208 runs its macro page owns these files: `list` and `show` read them, the changes
// are refused.
class MacroCommands {
public:
    static void AddTo(CtlCommandTable& table);
    static int Run(const CtlOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace q208
