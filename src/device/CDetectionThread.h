#pragma once

#include <memory>

#include "device/CHidDevice.h"
#include "device/DeviceSlotList.h"
#include "device/IDetectionHost.h"
#include "platform/WorkerThread.h"

namespace q208 {

// Finds supported HID interfaces by polling: every 100 ms, while a slot is free, lists the
// bus, takes the interfaces that match a free slot and hands each one to the host; then
// looks whether the paths of the connected slots still exist and hands every one that went
// away to the host. Polling is the only source of arrivals and removals.
//
// The worker keeps the slot list, the host and its own HID device alive through shared
// ownership, so a worker that outlives Stop's bound never touches freed memory.
class CDetectionThread {
public:
    static constexpr int kPassIntervalMs = 100;
    static constexpr int kStopTimeoutMs = 1000;

    CDetectionThread(std::shared_ptr<DeviceSlotList> slots, std::shared_ptr<IDetectionHost> host,
                     std::shared_ptr<IHidBus> bus = DefaultHidBus());
    ~CDetectionThread();
    CDetectionThread(const CDetectionThread&) = delete;
    CDetectionThread& operator=(const CDetectionThread&) = delete;

    // False while a worker (even one left behind by a timed-out Stop) still runs.
    bool Start();
    WorkerThread::StopResult Stop(int timeoutMs = kStopTimeoutMs);
    bool IsRunning() const;

    // One scan and removal check on the calling thread, for tools and measurements; only
    // while no worker runs. False when the bus could not be enumerated.
    bool RunPass();

private:
    struct Context;

    std::shared_ptr<Context> context_;
    WorkerThread worker_{"detection"};
};

}  // namespace q208
