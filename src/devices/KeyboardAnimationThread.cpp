#include "devices/KeyboardAnimationThread.h"

#include "devices/KeyboardThreadTrace.h"
#include "platform/TickCount.h"

namespace q208 {

bool KeyboardAnimationThread::Start() {
    return thread_.Start([this](const Event& stop) { Run(stop); });
}

void KeyboardAnimationThread::Stop() { KeyboardThreadTrace::Stopped(thread_.Stop(kStopTimeoutMs)); }

void KeyboardAnimationThread::Run(const Event& stop) {
    uint32_t last = TickCount();
    uint32_t lastFrame = last - KeyboardAnimator::kDefaultCountPeriodMs;
    while (!stop.Wait(kPassWaitMs)) {
        if (!channel_.IsOpen()) {
            stop.Wait(kClosedWaitMs);
            last = TickCount();
            continue;
        }
        const uint32_t now = TickCount();
        const uint32_t elapsed = now - last;
        last = now;
        if (channel_.LightingHold() || !animator_.Step(elapsed)) continue;
        renders_.fetch_add(1, std::memory_order_relaxed);
        const int effect = animator_.GetLightState().effect;
        // Effect 29 renders on every pass; the keyboard takes frames far slower than that.
        if (!KeyboardFrameSender::IsStreamed(effect) || now - lastFrame < KeyboardAnimator::kDefaultCountPeriodMs) {
            continue;
        }
        lastFrame = now;
        sender_.Send(effect, &stop);
        framesSent_.fetch_add(1, std::memory_order_relaxed);
    }
}

}  // namespace q208
