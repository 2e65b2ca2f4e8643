#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/CDeviceChannel.h"
#include "device/CHidDevice.h"
#include "platform/Event.h"
#include "platform/WorkerThread.h"

namespace q208 {

// The two input-report listeners a device runs on its listener channel: one on the wired
// vendor interface (kind 1) and one on the receiver's (the device's receiver kind). Each is
// a thread that reads the channel's device of its kind and hands every event to the
// device's callback, which does the device's own dispatch.
//
// The event is the first entry of the unpacked input report: its first usage for a button
// entry, its value for a value entry (devices send the event code as a 16-bit vendor value
// in bytes 1 … 2). Answers to commands, which arrive on the same interface, are skipped.
class VendorEventListener {
public:
    static constexpr int kWiredKind = 1;
    static constexpr int kStopTimeoutMs = 500;

    struct Hooks {
        const char* wiredThreadName = "listen-wired";
        const char* receiverThreadName = "listen-receiver";
        // Runs on the listener thread of `kind`.
        std::function<void(uint16_t event, int kind)> event;
        // After every stop of a thread that was attached, with how it went.
        std::function<void(WorkerThread::StopResult)> stopped;
    };

    VendorEventListener(CDeviceChannel& listenerChannel, int receiverKind, Hooks hooks);
    // Detaches both kinds.
    ~VendorEventListener();
    VendorEventListener(const VendorEventListener&) = delete;
    VendorEventListener& operator=(const VendorEventListener&) = delete;

    // Detaches the kind, opens its device of the listener channel on the path and starts
    // its thread. False for an unknown kind or when the path does not open.
    bool Attach(const std::string& path, int kind);
    // Stops the kind's thread within 500 ms: its device is closed first, which wakes the
    // read it waits in. Then the flag is cleared.
    void Detach(int kind);
    bool IsAttached(int kind) const;

private:
    struct Path;
    Path* PathOf(int kind) const;
    void Listen(Path& path, const Event& stop);
    std::optional<uint16_t> ReadEvent(Path& path, std::vector<uint8_t>& report, std::vector<HidData>& data);

    CDeviceChannel& channel_;
    Hooks hooks_;
    std::unique_ptr<Path> wired_;
    std::unique_ptr<Path> receiver_;
};

}  // namespace q208
