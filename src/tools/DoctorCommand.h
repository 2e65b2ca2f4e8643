#pragma once

#include <filesystem>
#include <iosfwd>

#include "tools/CtlOptions.h"

namespace q208 {

// q208ctl doctor [rule]: what stands between this user and the devices. It lists our
// devices' hidraw nodes and whether this user can open them, whether a udev rule that
// gives the seat's user access to all of them is installed where udev reads it, whether
// a q208 runs (device commands then go through it), and what to do about each problem.
// Exit 0 when nothing needs doing, 2 when something does. `doctor rule` prints the rule.
//
// --sysfs ROOT, --dev DIR and --rules-root ROOT stand other trees in for /sys, /dev and
// the root of the udev rule folders.
class DoctorCommand {
public:
    static constexpr int kExitActionNeeded = 2;

    static int Run(const CtlOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace q208
