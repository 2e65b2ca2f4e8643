#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "device/CDeviceChannel.h"
#include "devices/keyboard/KeyboardAnimator.h"
#include "devices/keyboard/KeyboardFrameSender.h"
#include "platform/WorkerThread.h"

namespace q208 {

// The keyboard's lighting animation thread. Each pass waits until the animator's next step
// is due (at least 1 ms); while the command channel is closed it looks again every 100 ms;
// while the channel's lighting hold is set it does nothing; otherwise it advances the
// animator by the milliseconds since the last pass and, when the effect rendered, streams
// the live frame (effects 29 and 30 only, at most one frame per count period). An effect
// the keyboard renders itself is animated only for the page, so it rests while the page is
// not on screen, until the wait function's wake (the page shown, the light state changed).
class KeyboardAnimationThread {
public:
    static constexpr int kPassWaitMs = 1;
    static constexpr int kClosedWaitMs = 100;
    static constexpr int kStopTimeoutMs = 1000;

    static constexpr int kUnseenRestMs = 1000;

    using ShownQuery = std::function<bool()>;
    // Waits up to ms on the stop event and whatever else should end a pass's wait early;
    // true when the stop event is set.
    using WaitFn = std::function<bool(const Event& stop, int ms)>;
    KeyboardAnimationThread(
        CDeviceChannel& channel, KeyboardAnimator& animator, KeyboardFrameSender& sender,
        ShownQuery pageShown = [] { return true; },
        WaitFn wait = [](const Event& stop, int ms) { return stop.Wait(ms); })
        : channel_(channel),
          animator_(animator),
          sender_(sender),
          pageShown_(std::move(pageShown)),
          wait_(std::move(wait)) {}
    ~KeyboardAnimationThread() { Stop(); }
    KeyboardAnimationThread(const KeyboardAnimationThread&) = delete;
    KeyboardAnimationThread& operator=(const KeyboardAnimationThread&) = delete;

    // While `hostPainted` holds, another thread paints the colours: the animator rests.
    // Set before Start.
    void SetHostPainted(ShownQuery hostPainted) { hostPainted_ = std::move(hostPainted); }

    bool Start();
    void Stop();
    bool IsRunning() const { return thread_.IsRunning(); }
    uint32_t Renders() const { return renders_.load(); }
    uint32_t FramesSent() const { return framesSent_.load(); }

private:
    void Run(const Event& stop);
    static int MsToNextTick(uint32_t start);
    int MsToNextPass(uint32_t start) const;

    CDeviceChannel& channel_;
    KeyboardAnimator& animator_;
    KeyboardFrameSender& sender_;
    ShownQuery pageShown_;
    WaitFn wait_;
    ShownQuery hostPainted_ = [] { return false; };
    WorkerThread thread_{"kbd-animation"};
    std::atomic<uint32_t> renders_{0};
    std::atomic<uint32_t> framesSent_{0};
};

}  // namespace q208
