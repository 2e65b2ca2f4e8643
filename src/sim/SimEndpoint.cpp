#include "sim/SimEndpoint.h"

#include <string>

#include "platform/RegisteredMessageNames.h"
#include "platform/Trace.h"
#include "sim/SimControl.h"

namespace q208 {
namespace {

constexpr const char* kCutNotice = "\n(output cut)\n";

EndpointReply TextReply(int status, std::string text) {
    if (text.size() > SimEndpoint::kMaxReplyBytes) {
        text.resize(SimEndpoint::kMaxReplyBytes - std::char_traits<char>::length(kCutNotice));
        text += kCutNotice;
    }
    return EndpointReply{status, std::vector<uint8_t>(text.begin(), text.end())};
}

}  // namespace

SimEndpoint::SimEndpoint(sim::SimDeviceSet& devices)
    : verbs_(devices),
      endpoint_(sim::kSimEndpointClass, kMainWindowTitle,
                MessageEndpoint::ReplyHandler([this](const EndpointMessage& message) { return Serve(message); })) {}

SimEndpoint::~SimEndpoint() { endpoint_.Close(); }

bool SimEndpoint::Open() {
    if (endpoint_.Open()) return true;
    Trace("simulation: the emulator's endpoint could not be opened\n");
    return false;
}

EndpointReply SimEndpoint::Serve(const EndpointMessage& message) {
    if (!message.isCopyData || message.dwData != sim::kSimVerbData) {
        return TextReply(sim::SimVerbs::kBadLine, "the emulator takes verb lines only");
    }
    if (message.data.size() > sim::kMaxSimVerbBytes) {
        return TextReply(sim::SimVerbs::kBadLine, "verb line longer than " + std::to_string(sim::kMaxSimVerbBytes));
    }
    const std::string line(message.data.begin(), message.data.end());
    if (line.find('\0') != std::string::npos || line.find('\n') != std::string::npos) {
        return TextReply(sim::SimVerbs::kBadLine, "one verb line, without control characters");
    }
    std::optional<sim::SimVerbResult> extra = extraVerbs_ ? extraVerbs_(line) : std::nullopt;
    sim::SimVerbResult result = extra ? std::move(*extra) : verbs_.Run(line);
    Trace("simulation: '%s' -> %d\n", line.c_str(), result.status);
    return TextReply(result.status, std::move(result.text));
}

}  // namespace q208
