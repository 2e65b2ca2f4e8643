#include "tools/CtlDeviceSession.h"

#include <ostream>

#include "tools/CtlDeviceHost.h"
#include "tools/HexText.h"

namespace q208 {

CtlDeviceSession::CtlDeviceSession(std::shared_ptr<IHidBus> bus, CtlDeviceTarget target, std::ostream* trace,
                                   ICtlDeviceHost* host)
    : target_(std::move(target)),
      trace_(trace),
      hostChannel_(host ? host->CommandChannelFor(target_) : nullptr),
      own_(hostChannel_ ? nullptr : std::make_unique<CDeviceChannel>(std::move(bus))),
      channel_(own_ ? *own_ : *hostChannel_),
      commands_(channel_) {
    if (own_) {
        channel_.SetTrafficObserver([this](bool sent, std::span<const uint8_t> report) { Observe(sent, report); });
        return;
    }
    commandLock_ = std::unique_lock<RecursiveLock>(channel_.CommandLock());
    hostDataSize_ = channel_.DataSize();
    // The program's other threads use the channel too; only this session's reports count.
    channel_.SetTrafficObserver([this](bool sent, std::span<const uint8_t> report) {
        if (std::this_thread::get_id() == thread_) Observe(sent, report);
    });
}

CtlDeviceSession::~CtlDeviceSession() {
    channel_.SetTrafficObserver({});
    if (own_) {
        channel_.CloseAll();
        return;
    }
    channel_.SetDataSize(hostDataSize_);
}

bool CtlDeviceSession::Open() {
    if (!own_) return channel_.IsOpen() != 0;
    return channel_.OpenPath(target_.path, target_.linkType, target_.target);
}

void CtlDeviceSession::Observe(bool sent, std::span<const uint8_t> report) {
    if (!sent) {
        lastAnswer_.assign(report.begin(), report.end());
        ++answersRead_;
    }
    if (trace_) *trace_ << (sent ? "> " : "< ") << HexText::Bytes(report) << '\n';
}

}  // namespace q208
