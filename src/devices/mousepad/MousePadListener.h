#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "device/CDeviceChannel.h"
#include "devices/base/VendorEventListener.h"

namespace q208 {

// The pad's input-report listener on its own vendor interface (kind 1; the pad has no
// receiver path). Event 0x0401 asks the host to read the pad's settings block again.
class MousePadListener {
public:
    static constexpr int kWiredKind = VendorEventListener::kWiredKind;
    static constexpr int kReceiverKind = 9;  // never attached
    static constexpr uint16_t kResync = 0x0401;

    MousePadListener(CDeviceChannel& listenerChannel, std::function<void()> resync);
    ~MousePadListener();
    MousePadListener(const MousePadListener&) = delete;
    MousePadListener& operator=(const MousePadListener&) = delete;

    bool Attach(const std::string& path, int kind);
    void Detach(int kind);
    bool IsAttached(int kind) const { return events_.IsAttached(kind); }
    // What the listener thread does with one event.
    void Dispatch(uint16_t event);

private:
    std::function<void()> resync_;
    // Last, so its thread is stopped before the handler it dispatches to goes away.
    VendorEventListener events_;
};

}  // namespace q208
