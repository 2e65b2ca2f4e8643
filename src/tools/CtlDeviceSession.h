#pragma once

#include <iosfwd>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "tools/CtlDeviceSelector.h"

namespace q208 {

class ICtlDeviceHost;

// One opened command channel to the selected device, with the command set on it. With a
// trace stream every report that crosses the channel is written there as it goes: "> "
// and the 64 bytes sent, "< " and the bytes received.
//
// Inside the running q208 (a `host`), the session uses the program's own channel to the
// device when it has one: under its command lock for the whole session, so the command's
// sequence is not interleaved with the program's own commands, and with only this
// thread's reports traced. That channel stays open afterwards.
class CtlDeviceSession {
public:
    CtlDeviceSession(std::shared_ptr<IHidBus> bus, CtlDeviceTarget target, std::ostream* trace,
                     ICtlDeviceHost* host = nullptr);
    ~CtlDeviceSession();
    CtlDeviceSession(const CtlDeviceSession&) = delete;
    CtlDeviceSession& operator=(const CtlDeviceSession&) = delete;

    // Opens the target's path read-write (or takes the program's channel); false when it
    // cannot be opened.
    bool Open();

    const CtlDeviceTarget& Target() const { return target_; }
    CDeviceChannel& Channel() { return channel_; }
    CDeviceCommands& Commands() { return commands_; }
    // Whether the session runs on the running program's channel.
    bool OnHostChannel() const { return own_ == nullptr; }
    // The last report read from the device and how many were read; for commands whose
    // result alone does not tell a failed exchange from a negative answer.
    const std::vector<uint8_t>& LastAnswer() const { return lastAnswer_; }
    size_t AnswersRead() const { return answersRead_; }

private:
    void Observe(bool sent, std::span<const uint8_t> report);

    CtlDeviceTarget target_;
    std::ostream* trace_;
    CDeviceChannel* hostChannel_;          // the program's channel, or null
    std::unique_ptr<CDeviceChannel> own_;  // null on the program's channel
    CDeviceChannel& channel_;
    CDeviceCommands commands_;
    std::unique_lock<RecursiveLock> commandLock_;  // held on the program's channel
    uint16_t hostDataSize_ = 0;                   // restored on the program's channel
    std::thread::id thread_ = std::this_thread::get_id();
    std::vector<uint8_t> lastAnswer_;
    size_t answersRead_ = 0;
};

}  // namespace q208
