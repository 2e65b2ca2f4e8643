#include "tools/SendCommand.h"

#include <cerrno>
#include <cstdlib>
#include <ostream>

#include "platform/EndpointMessaging.h"
#include "platform/MessageFrame.h"
#include "platform/RegisteredMessageNames.h"
#include "tools/CtlCommandTable.h"

namespace q208 {

std::optional<uint64_t> SendCommand::ParseNumber(const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    const std::string allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos) return std::nullopt;
    errno = 0;
    const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    if (errno == ERANGE) return std::nullopt;
    return static_cast<uint64_t>(value);
}

int SendCommand::Run(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    const auto& args = options.arguments;
    if (args.empty() || args.size() > 3) {
        err << "q208ctl send: give a message name and at most a wParam and an lParam\n";
        return CtlCommandTable::kUsageError;
    }
    const std::string& name = args[0];
    if (name.size() > kMaxFrameNameBytes) {
        err << "q208ctl send: the message name is longer than " << kMaxFrameNameBytes << " bytes\n";
        return CtlCommandTable::kUsageError;
    }
    uint64_t params[2] = {0, 0};
    for (size_t i = 1; i < args.size(); ++i) {
        const auto value = ParseNumber(args[i]);
        if (!value) {
            err << "q208ctl send: '" << args[i] << "' is not a decimal or 0x hexadecimal number\n";
            return CtlCommandTable::kUsageError;
        }
        params[i - 1] = *value;
    }

    const auto window = FindWindow(kMainWindowClass, kMainWindowTitle);
    if (!window) {
        err << "q208ctl send: no running q208 found\n";
        return kExitNotRunning;
    }
    const SendResult sent = SendMessageTo(*window, name, params[0], static_cast<int64_t>(params[1]), kTimeoutMs);
    if (sent.status == SendStatus::NoListener) {
        err << "q208ctl send: no running q208 found\n";
        return kExitNotRunning;
    }
    if (!sent.Delivered()) {
        err << "q208ctl send: '" << name << "' not delivered: " << SendStatusText(sent.status) << '\n';
        return 1;
    }
    if (sent.result != kEndpointMessageQueued) {
        err << "q208ctl send: the running q208 did not take '" << name
            << "' (not a message it takes from other programs)\n";
        return kExitNotTaken;
    }
    out << name << ": delivered\n";
    return 0;
}

}  // namespace q208
