#include "devices/mousepad/MousePadListener.h"

#include "platform/Trace.h"

namespace q208 {

MousePadListener::MousePadListener(CDeviceChannel& listenerChannel, std::function<void()> resync)
    : resync_(std::move(resync)),
      events_(listenerChannel, kReceiverKind,
              {.wiredThreadName = "mp-listen",
               .receiverThreadName = "mp-listen-receiver",
               .event = [this](uint16_t event, int) { Dispatch(event); },
               .stopped = [](WorkerThread::StopResult result) {
                   if (result == WorkerThread::StopResult::TimedOut)
                       Trace("mouse pad: the listener took longer than %d ms to stop\n",
                             VendorEventListener::kStopTimeoutMs);
               }}) {}

MousePadListener::~MousePadListener() = default;

bool MousePadListener::Attach(const std::string& path, int kind) {
    if (kind != kWiredKind) return false;
    return events_.Attach(path, kind);
}

void MousePadListener::Detach(int kind) { events_.Detach(kind); }

void MousePadListener::Dispatch(uint16_t event) {
    if (event != kResync) return;
    Trace("接收到自动添加设备的同步信息要求");
    if (resync_) resync_();
}

}  // namespace q208
