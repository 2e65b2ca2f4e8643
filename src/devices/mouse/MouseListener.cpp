#include "devices/mouse/MouseListener.h"

#include "platform/Trace.h"

namespace q208 {
namespace {

constexpr uint16_t kHighByte = 0xFF00;
constexpr uint16_t kBlockMask = 0x000F;
constexpr int kStageShift = 4;

}  // namespace

std::optional<MouseListener::BlockChange> MouseListener::DecodeBlockChange(uint16_t event) {
    const uint16_t high = event & kHighByte;
    if (event <= kResyncAdded || (high != kBlockChange && high != kBlockAndStageChange)) return std::nullopt;
    BlockChange change;
    change.block = static_cast<uint8_t>(event & kBlockMask);
    if (high == kBlockAndStageChange) change.activeStage = static_cast<uint8_t>((event >> kStageShift) & kBlockMask);
    return change;
}

MouseListener::MouseListener(CDeviceChannel& listenerChannel, Handlers handlers)
    : handlers_(std::move(handlers)),
      events_(listenerChannel, kReceiverKind,
              {.wiredThreadName = "ms-listen-wired",
               .receiverThreadName = "ms-listen-receiver",
               .event = [this](uint16_t event, int kind) { Dispatch(event, kind); },
               .stopped = [](WorkerThread::StopResult result) {
                   if (result == WorkerThread::StopResult::TimedOut)
                       Trace("mouse: a listener took longer than %d ms to stop\n", kStopTimeoutMs);
               }}) {}

MouseListener::~MouseListener() = default;

bool MouseListener::Attach(const std::string& path, int kind) { return events_.Attach(path, kind); }

void MouseListener::Detach(int kind) { events_.Detach(kind); }

void MouseListener::Dispatch(uint16_t event, int kind) {
    if (event == kResync || event == kResyncAdded) {
        Trace("接收到自动添加设备的同步信息要求");
        if (handlers_.resync) handlers_.resync();
        return;
    }
    if (event == kClick) {
        if (kind == kReceiverKind && handlers_.click) handlers_.click();
        return;
    }
    if (const auto change = DecodeBlockChange(event); change && handlers_.block) handlers_.block(*change);
}

}  // namespace q208
