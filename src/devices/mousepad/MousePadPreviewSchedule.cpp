#include "devices/mousepad/MousePadPreviewSchedule.h"

#include <algorithm>
#include <array>

namespace q208 {
namespace {

constexpr std::array<int, 5> kThresholds = {8, 6, 4, 2, 1};

}  // namespace

int MousePadPreviewSchedule::Threshold(int speedLevel) {
    return kThresholds[static_cast<size_t>(std::clamp(speedLevel, 0, static_cast<int>(kThresholds.size()) - 1))];
}

}  // namespace q208
