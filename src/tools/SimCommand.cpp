#include "tools/SimCommand.h"

#include <unistd.h>

#include <ostream>
#include <string>

#include "platform/EndpointMessaging.h"
#include "platform/RegisteredMessageNames.h"
#include "sim/SimControl.h"
#include "sim/SimVerbs.h"
#include "tools/CtlCommandTable.h"
#include "tools/SendCommand.h"

namespace q208 {
namespace {

constexpr int kExitRefused = 2;

std::string JoinWords(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) line += (line.empty() ? "" : " ") + word;
    return line;
}

// No emulator endpoint: either nothing runs, or a copy that does not simulate.
int NotSimulating(std::ostream& err) {
    if (FindWindow(kMainWindowClass, kMainWindowTitle)) {
        err << "q208ctl sim: the running q208 does not simulate (start it with --simulate); sim verbs refused\n";
        return kExitRefused;
    }
    err << "q208ctl sim: no running q208 found\n";
    return SendCommand::kExitNotRunning;
}

}  // namespace

int SimCommand::Run(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.size() < 2) {
        err << "q208ctl sim: give a verb and a device kind (sim VERB KIND [ARGUMENTS])\n";
        return CtlCommandTable::kUsageError;
    }
    const std::string line = JoinWords(options.arguments);
    if (line.size() > sim::kMaxSimVerbBytes) {
        err << "q208ctl sim: the verb line is longer than " << sim::kMaxSimVerbBytes << " bytes\n";
        return 1;
    }
    const auto emulator = FindWindow(sim::kSimEndpointClass, kMainWindowTitle);
    if (!emulator) return NotSimulating(err);
    const SendResult sent = SendCopyData(*emulator, static_cast<uint64_t>(getpid()), sim::kSimVerbData,
                                         std::span(reinterpret_cast<const uint8_t*>(line.data()), line.size()),
                                         kTimeoutMs);
    if (sent.status == SendStatus::NoListener) return NotSimulating(err);
    if (!sent.Delivered()) {
        err << "q208ctl sim: '" << line << "' not delivered: " << SendStatusText(sent.status) << '\n';
        return kExitRefused;
    }
    const std::string text(sent.data.begin(), sent.data.end());
    if (sent.result != sim::SimVerbs::kDone) {
        err << "q208ctl sim: " << line << ": " << text << (text.empty() || text.back() != '\n' ? "\n" : "");
        return sent.result == sim::SimVerbs::kBadLine ? 1 : kExitRefused;
    }
    if (text.empty()) {
        out << line << ": done\n";
    } else {
        out << text;
    }
    return 0;
}

}  // namespace q208
