#include "devices/mouse/MousePreviewSchedule.h"

#include <algorithm>
#include <array>

namespace q208 {
namespace {

// Clock changes per step by speed level 0 … 4: the fastest level steps on every change.
constexpr std::array<int, 5> kThresholds = {8, 6, 4, 2, 1};
constexpr uint32_t kCountedChangeMs = 1;
constexpr uint32_t kMsPerCount = kCountedChangeMs + 1;

bool IsThresholded(int mode) { return mode >= 0 && mode < MousePreviewSchedule::kStepModes && mode != MousePreviewSchedule::kUnthresholdedMode; }

}  // namespace

int MousePreviewSchedule::Threshold(int speedLevel) {
    return kThresholds[static_cast<size_t>(std::clamp(speedLevel, 0, static_cast<int>(kThresholds.size()) - 1))];
}

bool MousePreviewSchedule::Pass(uint32_t tick, int mode, int speedLevel) {
    if (!IsThresholded(mode)) return true;
    if (!started_) {
        started_ = true;
        lastTick_ = tick;
        return false;
    }
    // A pass after a longer sleep counts every 2 ms that went by.
    if (const uint32_t elapsed = tick - lastTick_; elapsed > kCountedChangeMs) {
        lastTick_ = tick;
        count_ += static_cast<int>(elapsed / kMsPerCount);
    }
    if (count_ < Threshold(speedLevel)) return false;
    count_ = 0;
    return true;
}

int MousePreviewSchedule::WaitMs(uint32_t tick, int mode, int speedLevel) const {
    if (!IsThresholded(mode)) return kUnthresholdedWaitMs;
    if (!started_) return 1;
    const int missing = std::max(Threshold(speedLevel) - count_, 1);
    const int sinceCount = static_cast<int>(std::min<uint32_t>(tick - lastTick_, kMsPerCount));
    return std::max(missing * static_cast<int>(kMsPerCount) - sinceCount, 1);
}

}  // namespace q208
