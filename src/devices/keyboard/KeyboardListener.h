#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device/CDeviceChannel.h"
#include "devices/base/VendorEventListener.h"
#include "devices/keyboard/KeyboardMemory.h"

namespace q208 {

// The keyboard's two input-report listeners, one on the wired vendor interface (kind 1)
// and one on the receiver's (kind 9), each a thread that reads the listener channel's
// device of its kind (see VendorEventListener) and dispatches the keyboard's events:
//   0x0401 re-sync, 0x0402 re-sync with the re-sync-requested flag,
//   0x05kk / 0x06kk device key kk pressed / released → key handler with the key-table row,
//   anything else above 0x0402 → the event handler (entry changes 0x10xx / 0x11xx).
class KeyboardListener {
public:
    static constexpr int kWiredKind = VendorEventListener::kWiredKind;
    static constexpr int kReceiverKind = 9;
    static constexpr int kStopTimeoutMs = VendorEventListener::kStopTimeoutMs;

    static constexpr uint16_t kResync = 0x0401;
    static constexpr uint16_t kResyncWithLighting = 0x0402;
    static constexpr uint16_t kKeyPressBase = 0x0500;
    static constexpr uint16_t kKeyReleaseBase = 0x0600;
    static constexpr uint16_t kEntryChange = 0x1000;
    static constexpr uint16_t kEntryAndSubValueChange = 0x1100;

    struct Handlers {
        std::function<void(bool withLighting)> resync;  // the device sets its 50 ms re-sync timer
        std::function<void(int row, int kind)> key;     // kind 1 press, 2 release
        std::function<void(uint16_t event)> event;
    };

    // A lighting entry change reported by the keyboard.
    struct EntryChange {
        uint8_t entry = 0;
        std::optional<uint8_t> subValue;
    };
    // For 0x10xx: the low 4 bits; for 0x11xx also bits 4 … 7 as the sub-value.
    static std::optional<EntryChange> DecodeEntryChange(uint16_t event);

    KeyboardListener(CDeviceChannel& listenerChannel, const KeyboardMemory& memory, Handlers handlers);
    ~KeyboardListener();
    KeyboardListener(const KeyboardListener&) = delete;
    KeyboardListener& operator=(const KeyboardListener&) = delete;

    // Detaches the kind, opens its device of the listener channel on the path and starts
    // its thread. False for an unknown kind or when the path does not open.
    bool Attach(const std::string& path, int kind);
    // Stops the kind's thread within 500 ms: its device is closed first, which wakes the
    // read it waits in. Then the flag is cleared.
    void Detach(int kind);
    bool IsAttached(int kind) const { return events_.IsAttached(kind); }

    // What a thread does with one event (also for tests and the device's own use).
    void Dispatch(uint16_t event);
    // True once after an 0x0402.
    bool TakeResyncRequest() { return resyncRequested_.exchange(false); }
    bool ResyncRequested() const { return resyncRequested_.load(); }

private:
    const KeyboardMemory& memory_;
    Handlers handlers_;
    std::atomic<bool> resyncRequested_{false};
    // Last, so its threads are stopped before the members they dispatch to go away.
    VendorEventListener events_;
};

}  // namespace q208
