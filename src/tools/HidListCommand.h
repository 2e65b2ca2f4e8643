#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "device/HidBus.h"
#include "tools/CtlOptions.h"

namespace q208 {

// q208ctl hid-list: one line per top-level-collection path with its usage and its input,
// output and feature report lengths, in enumeration order.
class HidListCommand {
public:
    static int Run(const CtlOptions& options, std::ostream& out, std::ostream& err);
    // Lists `bus`; 1 with a message naming `where` on `err` when the bus cannot be read.
    static int List(IHidBus& bus, const std::string& where, std::ostream& out, std::ostream& err);
};

}  // namespace q208
