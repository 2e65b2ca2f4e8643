#include "devices/lighting/LightSyncThread.h"

#include <algorithm>

#include "platform/TickCount.h"
#include "platform/Trace.h"

namespace q208 {

bool LightSyncThread::Start() {
    return thread_.Start([this](const Event& stop) { Run(stop); });
}

// The body only uses this object, so the wait joins; painting never blocks on a device.
WorkerThread::StopResult LightSyncThread::Stop(int timeoutMs) {
    return thread_.Stop(timeoutMs, WorkerThread::AfterTimeOut::Join);
}

void LightSyncThread::AddTarget(Target target) {
    std::lock_guard lock(mutex_);
    std::erase_if(targets_, [&](const Target& t) { return t.owner == target.owner; });
    targets_.push_back(std::move(target));
}

void LightSyncThread::RemoveTarget(const void* owner) {
    std::lock_guard lock(mutex_);
    std::erase_if(targets_, [&](const Target& t) { return t.owner == owner; });
}

bool LightSyncThread::AnyActive() {
    std::lock_guard lock(mutex_);
    return std::any_of(targets_.begin(), targets_.end(), [](const Target& t) { return t.active(); });
}

bool LightSyncThread::StepOnce(LightSync::StepState& state, uint32_t nowMs) {
    std::lock_guard lock(mutex_);
    bool any = false;
    const uint32_t word = sync_.Step(state, nowMs);
    for (const Target& target : targets_) {
        if (!target.active()) continue;
        target.paint(word);
        any = true;
    }
    if (any) {
        lastWord_ = word;
        steps_.fetch_add(1, std::memory_order_relaxed);
    }
    return any;
}

// The step count advances one tick every kTickMs; rather than waking each millisecond to
// count, the thread sleeps for the ticks of one step. The stop event ends any wait at once.
void LightSyncThread::Run(const Event& stop) {
    LightSync::StepState state;
    for (;;) {
        if (!AnyActive()) {
            idleWakes_.fetch_add(1, std::memory_order_relaxed);
            if (stop.Wait(kIdleWaitMs)) break;
            continue;
        }
        if (stop.Wait(kTickMs * sync_.TicksPerStep())) break;
        StepOnce(state, TickCount());
    }
    Trace("同步灯光线程设定退出\n");
}

}  // namespace q208
