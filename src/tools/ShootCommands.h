#pragma once

#include <iosfwd>

#include "tools/CtlCommandTable.h"
#include "tools/CtlOptions.h"

namespace q208 {

// q208ctl's fire-key commands, on the gun files of the mouse's user folder that the mouse
// page edits (guns 0 … 3, bullets 0 … 29; a missing gun file is first made from the
// factory copy):
//   shoot show GUN                               every bullet: x=N y=N delay=N
//   shoot set GUN BULLET [x=N] [y=N] [delay=N]   x below 0 moves left, y below 0 moves up
//   shoot upload                                 the four files as the mouse's shoot block
class ShootCommands {
public:
    static void AddTo(CtlCommandTable& table);
    static int Run(const CtlOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace q208
