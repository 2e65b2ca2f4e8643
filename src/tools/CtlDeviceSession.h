#pragma once

#include <iosfwd>
#include <memory>
#include <vector>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "tools/CtlDeviceSelector.h"

namespace q208 {

// One opened command channel to the selected device, with the command set on it. With a
// trace stream every report that crosses the channel is written there as it goes: "> "
// and the 64 bytes sent, "< " and the bytes received.
class CtlDeviceSession {
public:
    CtlDeviceSession(std::shared_ptr<IHidBus> bus, CtlDeviceTarget target, std::ostream* trace);
    ~CtlDeviceSession();
    CtlDeviceSession(const CtlDeviceSession&) = delete;
    CtlDeviceSession& operator=(const CtlDeviceSession&) = delete;

    // Opens the target's path read-write; false when it cannot be opened.
    bool Open();

    const CtlDeviceTarget& Target() const { return target_; }
    CDeviceChannel& Channel() { return channel_; }
    CDeviceCommands& Commands() { return commands_; }
    // The last report read from the device and how many were read; for commands whose
    // result alone does not tell a failed exchange from a negative answer.
    const std::vector<uint8_t>& LastAnswer() const { return lastAnswer_; }
    size_t AnswersRead() const { return answersRead_; }

private:
    void Observe(bool sent, std::span<const uint8_t> report);

    CtlDeviceTarget target_;
    std::ostream* trace_;
    CDeviceChannel channel_;
    CDeviceCommands commands_;
    std::vector<uint8_t> lastAnswer_;
    size_t answersRead_ = 0;
};

}  // namespace q208
