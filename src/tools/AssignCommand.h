#pragma once

#include <iosfwd>

#include "tools/CtlCommandTable.h"
#include "tools/CtlOptions.h"

namespace q208 {

// q208ctl assign [--device NAME] KEY CATEGORY ARGS...: gives a keyboard key (KEY a name of
// the key table: A, F1, Esc, Num 1, …) or a mouse button function (KEY 0-10) a new function,
// built as the key assignment panel builds it, stored in the device's selected profile and
// written into its key map. The keyboard on its cable without --device.
class AssignCommand {
public:
    static void AddTo(CtlCommandTable& table);
    static int Run(const CtlOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace q208
