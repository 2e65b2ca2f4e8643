#include "devices/keyboard/KeyboardAnimationThread.h"

#include <algorithm>

#include "devices/keyboard/KeyboardThreadTrace.h"
#include "platform/TickCount.h"

namespace q208 {

bool KeyboardAnimationThread::Start() {
    return thread_.Start([this](const Event& stop) { Run(stop); });
}

// A frame in flight to a silent keyboard waits as long as the stop bound; closing the
// channel's devices wakes it at once, so the stop always wins and the thread is joined
// (its body uses the keyboard's members, which must never outlive it).
void KeyboardAnimationThread::Stop() {
    if (thread_.IsRunning()) {
        thread_.RequestStop();
        channel_.SetOpen(false);
        channel_.WiredDevice().Close();
        channel_.ReceiverDevice().Close();
    }
    KeyboardThreadTrace::Stopped(thread_.Stop(kStopTimeoutMs, WorkerThread::AfterTimeOut::Join));
}

// The animator counts its intervals in ticks of one count period, so a pass between two
// ticks changes nothing: each pass sleeps until the next tick boundary instead of waking
// every millisecond. The stop event still ends the wait at once.
int KeyboardAnimationThread::MsToNextTick(uint32_t start) {
    const uint32_t period = KeyboardAnimator::kDefaultCountPeriodMs;
    return static_cast<int>(period - (TickCount() - start) % period);
}

void KeyboardAnimationThread::Run(const Event& stop) {
    const uint32_t start = TickCount();
    uint32_t last = start;
    uint32_t lastFrame = last - KeyboardAnimator::kDefaultCountPeriodMs;
    while (!stop.Wait(std::max(kPassWaitMs, MsToNextTick(start)))) {
        const bool unseen = !KeyboardFrameSender::IsStreamed(animator_.GetLightState().effect) && !pageShown_();
        if (!channel_.IsOpen() || unseen || hostPainted_()) {
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
