#pragma once

#include <iosfwd>

#include "tools/CtlCommandTable.h"

namespace q208 {

// q208ctl headset, eq, mic, monitor: the headset's audio settings on the sound server,
// through the running q208's headset page when it runs, else through a session of their
// own on the headset's selected profile.
class HeadsetCommands {
public:
    static void AddTo(CtlCommandTable& table);

    static int Show(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int Eq(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int Mic(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int Monitor(const CtlOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace q208
