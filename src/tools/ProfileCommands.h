#pragma once

#include <iosfwd>

#include "tools/CtlCommandTable.h"
#include "tools/CtlOptions.h"

namespace q208 {

// q208ctl's profile commands on a device's profile folder in the user data folder
// (--device keyboard, mouse, mousepad, headset; the keyboard without it):
//   profile list | create | copy | rename NAME | delete | reset | import FILE | export FILE
//           | select INDEX
// They work with or without the device attached; `select` also writes the profile to an
// attached keyboard (key map and lighting). A refused operation prints the user's message
// text and exits 2. While q208 runs, `list` reads the list, `select` goes through q208 (its
// panel and the device switch as for a click) and the others are refused, so that q208's
// panel and the file never disagree.
class ProfileCommands {
public:
    static void AddTo(CtlCommandTable& table);
    static int Run(const CtlOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace q208
