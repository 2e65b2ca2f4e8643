#include "devices/keyboard/EffectFrames.h"

#include <algorithm>

#include "devices/keyboard/KeyboardAnimator.h"
#include "devices/keyboard/KeyboardEffectTable.h"

namespace q208 {

namespace {

constexpr int kDemoKeyRow = 68;  // a key in the middle of the board

}  // namespace

std::optional<std::vector<std::vector<KeyColour>>> RenderEffectFrames(int effect, int count, LightState light) {
    const KeyboardEffect* entry = FindKeyboardEffect(effect);
    if (!entry || count < 0 || count > kMaxEffectFrames) return std::nullopt;

    uint32_t now = 0;
    KeyColourBuffer colours(kKeyTableRows);
    KeyboardAnimator animator(colours, [&now] { return now; });
    light.effect = static_cast<uint8_t>(effect);
    animator.SetLightState(light);

    const uint32_t interval = static_cast<uint32_t>(EffectInterval(entry->interval, light.speedLevel));
    const uint32_t stepMs = std::max<uint32_t>(interval, 1) * KeyboardAnimator::kDefaultCountPeriodMs;

    std::vector<std::vector<KeyColour>> frames;
    frames.reserve(static_cast<size_t>(count));
    if (entry->keyHandler) animator.OnKeyEvent(kDemoKeyRow, kKeyPressed);
    for (int step = 0; step < count; ++step) {
        now += stepMs;
        animator.RenderNow();
        if (step == 0 && entry->keyHandler) animator.OnKeyEvent(kDemoKeyRow, kKeyReleased);
        frames.push_back(colours.Snapshot());
    }
    return frames;
}

}  // namespace q208
