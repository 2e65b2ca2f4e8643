#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "devices/lighting/LightSync.h"
#include "platform/WorkerThread.h"

namespace q208 {

// The light synchronisation thread: while at least one synchronised device has an open
// channel it steps the effect of the shared settings and hands every such device the same
// colour word. Painting only stores colours (each device's light-frame timer sends them),
// so the thread never waits on a device and stops within its bound.
class LightSyncThread {
public:
    // A device taking part: `active` says whether it is synchronised with an open channel,
    // `paint` stores the colour word on all its lights. Both run on the thread under the
    // target lock; the owner removes a target before the device goes away.
    struct Target {
        const void* owner = nullptr;
        std::function<bool()> active;
        std::function<void(uint32_t word)> paint;
    };

    // A timer tick of the step count: the millisecond count moved by more than 1.
    static constexpr int kTickMs = 2;
    // With no synchronised device the thread looks again once a second.
    static constexpr int kIdleWaitMs = 1000;
    static constexpr int kStopTimeoutMs = 1000;

    explicit LightSyncThread(LightSync& sync) : sync_(sync) {}
    ~LightSyncThread() { Stop(); }

    bool Start();
    WorkerThread::StopResult Stop(int timeoutMs = kStopTimeoutMs);
    bool IsRunning() const { return thread_.IsRunning(); }

    void AddTarget(Target target);
    void RemoveTarget(const void* owner);
    // Runs fn() under the target lock: what it reads of the devices is one step's state.
    template <typename Fn>
    auto WithTargetsLocked(Fn&& fn) {
        std::lock_guard lock(mutex_);
        return fn();
    }

    // Counters for tests and benchmarks.
    uint64_t IdleWakes() const { return idleWakes_.load(); }
    uint64_t Steps() const { return steps_.load(); }
    uint32_t LastWord() const { return lastWord_.load(); }

    // One pass of the loop body: false when no target is active (nothing painted).
    bool StepOnce(LightSync::StepState& state, uint32_t nowMs);

private:
    void Run(const Event& stop);
    bool AnyActive();

    LightSync& sync_;
    std::mutex mutex_;
    std::vector<Target> targets_;
    std::atomic<uint64_t> idleWakes_{0};
    std::atomic<uint64_t> steps_{0};
    std::atomic<uint32_t> lastWord_{0};
    WorkerThread thread_{"light synchronisation"};
};

}  // namespace q208
