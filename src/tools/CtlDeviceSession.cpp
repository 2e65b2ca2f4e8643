#include "tools/CtlDeviceSession.h"

#include <ostream>

#include "tools/HexText.h"

namespace q208 {

CtlDeviceSession::CtlDeviceSession(std::shared_ptr<IHidBus> bus, CtlDeviceTarget target, std::ostream* trace)
    : target_(std::move(target)), trace_(trace), channel_(std::move(bus)), commands_(channel_) {
    channel_.SetTrafficObserver([this](bool sent, std::span<const uint8_t> report) { Observe(sent, report); });
}

CtlDeviceSession::~CtlDeviceSession() {
    channel_.CloseAll();
    channel_.SetTrafficObserver({});
}

bool CtlDeviceSession::Open() { return channel_.OpenPath(target_.path, target_.linkType, target_.target); }

void CtlDeviceSession::Observe(bool sent, std::span<const uint8_t> report) {
    if (!sent) {
        lastAnswer_.assign(report.begin(), report.end());
        ++answersRead_;
    }
    if (trace_) *trace_ << (sent ? "> " : "< ") << HexText::Bytes(report) << '\n';
}

}  // namespace q208
