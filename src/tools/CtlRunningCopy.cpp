#include "tools/CtlRunningCopy.h"

#include <unistd.h>

#include <ostream>
#include <string>

#include "platform/EndpointMessaging.h"
#include "platform/RegisteredMessageNames.h"
#include "tools/CtlDeviceCommand.h"
#include "tools/CtlRemoteProtocol.h"

namespace q208 {
namespace {

int Refuse(std::ostream& err, const std::string& why) {
    err << "error: " << why << "; the command was not sent to the device (quit q208, or give --direct to send it "
           "beside the running copy)\n";
    return ctl::kExitFailed;
}

// "within 5 s", or what else went wrong.
std::string Why(SendStatus status, int timeoutMs) {
    if (status == SendStatus::TimedOut) return "within " + std::to_string(timeoutMs / 1000) + " s";
    return std::string("(") + SendStatusText(status) + ")";
}

}  // namespace

std::optional<int> CtlRunningCopy::Forward(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (options.host || options.simulate) return std::nullopt;
    const auto endpoint = FindWindow(ctlremote::kCtlEndpointClass, kMainWindowTitle);
    const bool running = endpoint || FindWindow(kMainWindowClass, kMainWindowTitle);
    if (!running) return std::nullopt;
    if (options.direct) {
        err << "q208ctl: warning: --direct while q208 runs: both talk to the same device, and either may take the "
               "other's answers\n";
        return std::nullopt;
    }
    if (!endpoint) return Refuse(err, "the running q208 takes no device commands from q208ctl");

    const auto sender = static_cast<uint64_t>(getpid());
    const SendResult ping = SendCopyData(*endpoint, sender, ctlremote::kCtlPingData, {}, kPingTimeoutMs);
    if (ping.status == SendStatus::NoListener) return std::nullopt;  // it has just ended
    if (!ping.Delivered()) {
        return Refuse(err, "q208 is running but does not answer " + Why(ping.status, kPingTimeoutMs));
    }
    const std::vector<uint8_t> request = ctlremote::EncodeArguments(options.commandLine);
    const SendResult sent = SendCopyData(*endpoint, sender, ctlremote::kCtlRequestData, request, kCommandTimeoutMs);
    if (!sent.Delivered()) {
        return Refuse(err, "the running q208 did not finish the command " + Why(sent.status, kCommandTimeoutMs));
    }
    const auto output = ctlremote::DecodeOutput(sent.data);
    if (sent.result == ctlremote::kBadRequest || !output) {
        return Refuse(err, "the running q208 refused the command line" +
                               (output && !output->err.empty() ? ": " + output->err : std::string()));
    }
    // Traces and failures come before the output, as they do when the command runs here.
    err << output->err;
    out << output->out;
    return static_cast<int>(sent.result);
}

}  // namespace q208
