#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "device/CDeviceChannel.h"
#include "devices/keyboard/KeyboardAnimator.h"
#include "devices/keyboard/KeyboardFrameSender.h"
#include "platform/WorkerThread.h"

namespace q208 {

// The keyboard's lighting animation thread. Each pass waits on the stop event until the
// animator's next count tick (at least 1 ms); while
// the command channel is closed it waits 100 ms, while the channel's lighting hold is set
// it does nothing; otherwise it advances the animator by the milliseconds since the last
// pass and, when the effect rendered, streams the live frame (effects 29 and 30 only, at
// most one frame per count period). An effect the keyboard renders itself is animated only
// for the page, so it rests like a closed channel while the page is not on screen.
class KeyboardAnimationThread {
public:
    static constexpr int kPassWaitMs = 1;
    static constexpr int kClosedWaitMs = 100;
    static constexpr int kStopTimeoutMs = 1000;

    using ShownQuery = std::function<bool()>;
    KeyboardAnimationThread(CDeviceChannel& channel, KeyboardAnimator& animator, KeyboardFrameSender& sender,
                            ShownQuery pageShown = [] { return true; })
        : channel_(channel), animator_(animator), sender_(sender), pageShown_(std::move(pageShown)) {}
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

    CDeviceChannel& channel_;
    KeyboardAnimator& animator_;
    KeyboardFrameSender& sender_;
    ShownQuery pageShown_;
    ShownQuery hostPainted_ = [] { return false; };
    WorkerThread thread_{"kbd-animation"};
    std::atomic<uint32_t> renders_{0};
    std::atomic<uint32_t> framesSent_{0};
};

}  // namespace q208
