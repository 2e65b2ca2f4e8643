#include "tools/MusicCommand.h"

#include <ostream>

#include "tools/CtlCommandTable.h"
#include "tools/CtlDeviceCommand.h"
#include "tools/CtlDeviceHost.h"
#include "tools/CtlOptions.h"
#include "tools/CtlRunningCopy.h"

namespace q208 {

namespace {

int Run(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.size() != 1 || (options.arguments[0] != "on" && options.arguments[0] != "off")) {
        return ctl::UsageError(err, "music takes 'on' or 'off'");
    }
    if (!options.host) {
        if (auto forwarded = CtlRunningCopy::Forward(options, out, err)) return *forwarded;
        err << "error: music lighting runs in q208; start q208 first\n";
        return ctl::kExitFailed;
    }
    const bool on = options.arguments[0] == "on";
    if (!options.host->SetMusicMode(on)) {
        err << "error: q208 shows no keyboard\n";
        return ctl::kExitFailed;
    }
    out << "music " << (on ? "on" : "off") << '\n';
    return 0;
}

}  // namespace

void MusicCommand::AddTo(CtlCommandTable& table) {
    table.Add({"music", "on|off",
               "in the running q208: the keyboards light waves from what the computer plays, or go back", {}, Run});
}

}  // namespace q208
