#include "devices/keyboard/KeyboardListener.h"

#include "devices/keyboard/KeyboardRenderer.h"
#include "devices/keyboard/KeyboardThreadTrace.h"

namespace q208 {
namespace {

constexpr uint16_t kHighByte = 0xFF00;
constexpr uint16_t kEntryMask = 0x000F;
constexpr int kSubValueShift = 4;

}  // namespace

std::optional<KeyboardListener::EntryChange> KeyboardListener::DecodeEntryChange(uint16_t event) {
    const uint16_t high = event & kHighByte;
    if (high != kEntryChange && high != kEntryAndSubValueChange) return std::nullopt;
    EntryChange change;
    change.entry = static_cast<uint8_t>(event & kEntryMask);
    if (high == kEntryAndSubValueChange) change.subValue = static_cast<uint8_t>((event >> kSubValueShift) & kEntryMask);
    return change;
}

KeyboardListener::KeyboardListener(CDeviceChannel& listenerChannel, const KeyboardMemory& memory, Handlers handlers)
    : memory_(memory),
      handlers_(std::move(handlers)),
      events_(listenerChannel, kReceiverKind,
              {.wiredThreadName = "kbd-listen-wired",
               .receiverThreadName = "kbd-listen-receiver",
               .event = [this](uint16_t event, int) { Dispatch(event); },
               .stopped = [](WorkerThread::StopResult result) { KeyboardThreadTrace::Stopped(result); }}) {}

KeyboardListener::~KeyboardListener() = default;

bool KeyboardListener::Attach(const std::string& path, int kind) { return events_.Attach(path, kind); }

void KeyboardListener::Detach(int kind) { events_.Detach(kind); }

void KeyboardListener::Dispatch(uint16_t event) {
    if (event == kResync || event == kResyncWithLighting) {
        if (event == kResyncWithLighting) resyncRequested_ = true;
        if (handlers_.resync) handlers_.resync(event == kResyncWithLighting);
        return;
    }
    const uint16_t high = event & kHighByte;
    if (high == kKeyPressBase || high == kKeyReleaseBase) {
        const auto row = memory_.RowOfDeviceKey(static_cast<uint8_t>(event));
        if (row && handlers_.key) handlers_.key(*row, high == kKeyPressBase ? kKeyPressed : kKeyReleased);
        return;
    }
    if (event > kResyncWithLighting && handlers_.event) handlers_.event(event);
}

}  // namespace q208
