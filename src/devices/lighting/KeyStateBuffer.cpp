#include "devices/lighting/KeyStateBuffer.h"

#include <algorithm>

namespace q208 {

namespace {

// Step per fade mode for levels of at least 128, 64, 32, 17 and below 17.
constexpr uint8_t kFadeSteps[KeyStateBuffer::kFadeModes][5] = {
    {16, 8, 4, 2, 1},
    {32, 16, 8, 4, 1},
    {8, 4, 2, 2, 1},
};

uint8_t FadeStepSize(int mode, uint8_t level) {
    const auto& steps = kFadeSteps[(mode >= 0 && mode < KeyStateBuffer::kFadeModes) ? mode : 0];
    if (level & 0x80) return steps[0];
    if (level & 0x40) return steps[1];
    if (level & 0x20) return steps[2];
    if (level >= 17) return steps[3];
    return steps[4];
}

bool ValidKey(int key) { return key >= 0 && key < kMaxLightKeys; }

}  // namespace

uint8_t KeyStateBuffer::Level(int key) const { return ValidKey(key) ? levels_[key] : 0; }

void KeyStateBuffer::SetLevel(int key, uint8_t level) {
    if (ValidKey(key)) levels_[key] = level;
}

uint8_t KeyStateBuffer::RingByte(int position) const {
    return (position >= 0 && position < kRingSize) ? ring_[position] : 0;
}

void KeyStateBuffer::SetRingByte(int position, uint8_t value) {
    if (position >= 0 && position < kRingSize) ring_[position] = value;
}

void KeyStateBuffer::MarkRing() {
    for (int i = 0; i < kRingMarkedBytes; ++i)
        if (ring_[i] != 0) levels_[i] = 255;
}

void KeyStateBuffer::RotateRing(bool up) {
    if (up)
        std::rotate(ring_.rbegin(), ring_.rbegin() + 1, ring_.rend());
    else
        std::rotate(ring_.begin(), ring_.begin() + 1, ring_.end());
}

void KeyStateBuffer::ClearKeyStates() {
    levels_.fill(0);
    ring_.fill(0);
}

uint8_t KeyStateBuffer::FadeStep(int key, int mode) {
    if (!ValidKey(key)) return 0;
    uint8_t& level = levels_[key];
    if (level == 0) return 0;
    const uint8_t step = FadeStepSize(mode, level);
    level = static_cast<uint8_t>(level > step ? level - step : 0);
    return level;
}

}  // namespace q208
