#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device/CDeviceChannel.h"
#include "devices/base/VendorEventListener.h"

namespace q208 {

// The mouse's two input-report listeners, one on its own vendor interface (kind 1) and one
// on the receiver's (kind 9), each a thread reading the listener channel's device of its
// kind (see VendorEventListener). Events (input bytes 1 … 2):
//   0x0401, 0x0481  re-sync (the device runs its 50 ms refresh timer),
//   0x0403          a click; only over the receiver, it starts the reactive preview,
//   0x10xx          settings block xx & 0x0F is active now,
//   0x11sx          block x and active DPI stage s.
class MouseListener {
public:
    static constexpr int kWiredKind = VendorEventListener::kWiredKind;
    static constexpr int kReceiverKind = 9;
    static constexpr int kStopTimeoutMs = VendorEventListener::kStopTimeoutMs;
    static constexpr uint16_t kResync = 0x0401;
    static constexpr uint16_t kResyncAdded = 0x0481;
    static constexpr uint16_t kClick = 0x0403;
    static constexpr uint16_t kBlockChange = 0x1000;
    static constexpr uint16_t kBlockAndStageChange = 0x1100;

    struct BlockChange {
        uint8_t block = 0;
        std::optional<uint8_t> activeStage;
    };
    struct Handlers {
        std::function<void()> resync;
        std::function<void()> click;  // receiver only
        std::function<void(const BlockChange&)> block;
    };
    static std::optional<BlockChange> DecodeBlockChange(uint16_t event);

    MouseListener(CDeviceChannel& listenerChannel, Handlers handlers);
    ~MouseListener();
    MouseListener(const MouseListener&) = delete;
    MouseListener& operator=(const MouseListener&) = delete;

    // Opens the kind's device of the listener channel on the path and starts its thread.
    bool Attach(const std::string& path, int kind);
    // Closes the device (which wakes the blocked read) and joins the thread.
    void Detach(int kind);
    bool IsAttached(int kind) const { return events_.IsAttached(kind); }
    // What a thread of `kind` does with one event.
    void Dispatch(uint16_t event, int kind);

private:
    Handlers handlers_;
    // Last, so its threads are stopped before the handlers they dispatch to go away.
    VendorEventListener events_;
};

}  // namespace q208
