#include "devices/mouse/MousePreviewSchedule.h"

#include <algorithm>
#include <array>

namespace q208 {
namespace {

// Clock changes per step by speed level 0 … 4: the fastest level steps on every change.
constexpr std::array<int, 5> kThresholds = {8, 6, 4, 2, 1};
constexpr uint32_t kCountedChangeMs = 1;

}  // namespace

int MousePreviewSchedule::Threshold(int speedLevel) {
    return kThresholds[static_cast<size_t>(std::clamp(speedLevel, 0, static_cast<int>(kThresholds.size()) - 1))];
}

bool MousePreviewSchedule::Pass(uint32_t tick, int mode, int speedLevel) {
    if (mode == kUnthresholdedMode || mode >= kStepModes || mode < 0) return true;
    if (!started_) {
        started_ = true;
        lastTick_ = tick;
        return false;
    }
    if (tick - lastTick_ > kCountedChangeMs) {
        lastTick_ = tick;
        ++count_;
    }
    if (count_ < Threshold(speedLevel)) return false;
    count_ = 0;
    return true;
}

}  // namespace q208
