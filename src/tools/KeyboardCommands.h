#pragma once

#include <iosfwd>

#include "tools/CtlCommandTable.h"
#include "tools/CtlOptions.h"

namespace q208 {

// q208ctl's keyboard commands:
//   lighting                     the active lighting entry's record, decoded
//   set-lighting KEY=VALUE …     changes fields of the active record and writes it back
//                                (effect, brightness, speed, direction, multicolor, rgb=R,G,B)
//   set-key ROW TYPE,P1,P2       writes one key-table row's function code into the key map
//   effect-frames N COUNT [KEY=VALUE …]
//                                renders COUNT steps of effect N on the host; each step is a
//                                line "step K" followed by 170 lines "row r,g,b,i"
// Without --device or --slot the device commands talk to the keyboard on its cable.
class KeyboardCommands {
public:
    static void AddTo(CtlCommandTable& table);

    static int Lighting(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int SetLighting(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int SetKey(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int EffectFrames(const CtlOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace q208
