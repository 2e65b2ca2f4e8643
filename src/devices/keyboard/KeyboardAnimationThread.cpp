#include "devices/keyboard/KeyboardAnimationThread.h"

#include <algorithm>
#include <utility>

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

// The animator counts its intervals in ticks of one count period and renders only when the
// effect's interval is due, so each pass sleeps until then (or the next tick boundary for an
// effect that renders every pass) instead of waking every millisecond. The wait also ends
// when the light state changes or the page is shown, and the stop event ends it at once.
int KeyboardAnimationThread::MsToNextTick(uint32_t start) {
    const uint32_t period = KeyboardAnimator::kDefaultCountPeriodMs;
    return static_cast<int>(period - (TickCount() - start) % period);
}

int KeyboardAnimationThread::MsToNextPass(uint32_t start) const {
    const uint32_t due = animator_.MsUntilDue();
    return std::max(kPassWaitMs, due > 0 ? static_cast<int>(due) : MsToNextTick(start));
}

void KeyboardAnimationThread::Run(const Event& stop) {
    const uint32_t start = TickCount();
    uint32_t last = start;
    uint32_t lastFrame = last - KeyboardAnimator::kDefaultCountPeriodMs;
    bool resting = false;
    int waitMs = kPassWaitMs;
    while (!wait_(stop, waitMs)) {
        const uint32_t now = TickCount();
        const bool unseen = !KeyboardFrameSender::IsStreamed(animator_.GetLightState().effect) && !pageShown_();
        if (!channel_.IsOpen() || unseen || hostPainted_()) {
            // A page off screen rests until it is shown again; a closed channel, or colours
            // painted by the synchronisation, are looked at again every 100 ms.
            waitMs = channel_.IsOpen() && !hostPainted_() ? kUnseenRestMs : kClosedWaitMs;
            resting = true;
            continue;
        }
        // Time spent resting is not animated: the effect goes on where it stopped.
        const uint32_t elapsed = std::exchange(resting, false) ? 0 : now - last;
        last = now;
        const bool rendered = !channel_.LightingHold() && animator_.Step(elapsed);
        waitMs = MsToNextPass(start);
        if (!rendered) continue;
        renders_.fetch_add(1, std::memory_order_relaxed);
        const int effect = animator_.GetLightState().effect;
        // Effect 29 renders on every pass; the keyboard takes frames far slower than that.
        if (!KeyboardFrameSender::IsStreamed(effect) || now - lastFrame < KeyboardAnimator::kDefaultCountPeriodMs) {
            continue;
        }
        lastFrame = now;
        sender_.Send(effect, &stop);
        framesSent_.fetch_add(1, std::memory_order_relaxed);
        waitMs = MsToNextPass(start);
    }
}

}  // namespace q208
