#include "tools/SimCommand.h"

#include <algorithm>
#include <ostream>

#include "platform/EndpointMessaging.h"
#include "platform/RegisteredMessageNames.h"
#include "sim/SimControl.h"
#include "sim/SimDeviceSet.h"
#include "tools/CtlCommandTable.h"
#include "tools/SendCommand.h"

namespace q208 {

int SimCommand::Run(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    const auto& args = options.arguments;
    if (args.size() != 2) {
        err << "q208ctl sim: give an action (plug, unplug, link, unlink) and a device kind\n";
        return CtlCommandTable::kUsageError;
    }
    const auto* action = std::find_if(std::begin(sim::kSimControlActionNames), std::end(sim::kSimControlActionNames),
                                      [&](const auto& entry) { return args[0] == entry.name; });
    if (action == std::end(sim::kSimControlActionNames)) {
        err << "q208ctl sim: unknown action '" << args[0] << "' (plug, unplug, link, unlink)\n";
        return CtlCommandTable::kUsageError;
    }
    std::string error;
    const auto kinds = sim::SimDeviceSet::ParseList(args[1], &error);
    if (!kinds || kinds->size() != 1) {
        err << "q208ctl sim: " << (error.empty() ? "give one device kind" : error) << '\n';
        return CtlCommandTable::kUsageError;
    }

    const auto window = FindWindow(kMainWindowClass, kMainWindowTitle);
    const SendResult sent =
        window ? SendMessageTo(*window, sim::kSimControlMessageName, static_cast<uint64_t>(action->action),
                               static_cast<int64_t>(kinds->front()), SendCommand::kTimeoutMs)
               : SendResult{};
    if (!window || sent.status == SendStatus::NoListener) {
        err << "q208ctl sim: no running q208 found\n";
        return SendCommand::kExitNotRunning;
    }
    if (!sent.Delivered() || sent.result == 0) {
        err << "q208ctl sim: " << args[0] << ' ' << args[1]
            << " refused (is q208 running with --simulate, and is the device plugged or linkable?)\n";
        return 2;
    }
    out << args[0] << ' ' << args[1] << ": done\n";
    return 0;
}

}  // namespace q208
