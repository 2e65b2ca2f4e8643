#pragma once

#include <iosfwd>

#include "tools/CtlCommandTable.h"
#include "tools/CtlOptions.h"

namespace q208 {

// q208ctl's mouse pad commands (--device mousepad, the default for them):
//   pad                          the pad's active settings block, decoded
//   set-pad-lighting KEY=VALUE   as set-lighting (effect, brightness, speed, direction,
//                                multicolor, rgb=R,G,B); effect is a position in the pad's
//                                own mode list
// set-pad-lighting works as the pad page does: it reads the block, puts the change over what
// the pad shows into the pad's selected profile, saves it and writes the block from it.
class MousePadCommands {
public:
    static void AddTo(CtlCommandTable& table);

    static int Show(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int SetLighting(const CtlOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace q208
