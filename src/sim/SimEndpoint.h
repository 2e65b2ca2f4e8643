#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/MessageEndpoint.h"
#include "sim/SimVerbs.h"

namespace q208 {

namespace sim {
class SimDeviceSet;
}

// The emulator's endpoint of a simulating q208: verb lines in, text out (see SimControl.h).
// The verbs run on the endpoint's listener thread: they touch only the emulated devices,
// which are thread-safe, never the window, and the program sees their effects as it would
// see a real device's.
class SimEndpoint {
public:
    // Text beyond this is cut, so a reply always fits a frame.
    static constexpr std::size_t kMaxReplyBytes = kDefaultMaxFrameDataBytes;

    explicit SimEndpoint(sim::SimDeviceSet& devices);
    ~SimEndpoint();
    SimEndpoint(const SimEndpoint&) = delete;
    SimEndpoint& operator=(const SimEndpoint&) = delete;

    // Verbs served before the emulator's own (the window's); set before Open.
    using ExtraVerbs = std::function<std::optional<sim::SimVerbResult>(const std::string& line)>;
    void SetExtraVerbs(ExtraVerbs verbs) { extraVerbs_ = std::move(verbs); }

    bool Open();

    // One request as the endpoint serves it (also for tests).
    EndpointReply Serve(const EndpointMessage& message);

private:
    sim::SimVerbs verbs_;
    ExtraVerbs extraVerbs_;
    MessageEndpoint endpoint_;
};

}  // namespace q208
