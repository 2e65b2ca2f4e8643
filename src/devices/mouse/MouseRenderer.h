#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "devices/lighting/KeyColour.h"
#include "devices/lighting/LightRenderer.h"

namespace q208 {

// The base renderers and the mouse's three of its own, for the page's preview of the
// mouse's LEDs. Like the base renderers it is used under the device's light lock.
class MouseRenderer : public LightRenderer {
public:
    static constexpr int kGroupCount = 7;
    static constexpr int kGroupStep = 4;  // wheel steps the groups move per step
    static constexpr uint8_t kLevelStep = 15;
    static constexpr int kLedCount = 32;  // LEDs the reactive state is kept for

    using LightRenderer::LightRenderer;

    // Seven LED groups, each a wheel colour (or the chosen colour) a seventh of the wheel
    // from the next, moving round by kGroupStep per step.
    void RenderGroups(std::span<KeyColour> keys);
    // The marquee: the ring moves one place, its marked bytes light their LEDs, which fade.
    void RenderRing(std::span<KeyColour> keys);
    // Each LED lit by StartReactive falls back to 0 by 15 per step, in its own colour.
    void RenderReactive(std::span<KeyColour> keys);
    // The reactive start (the mouse reported a click): every LED at 255, falling, each with
    // a wheel colour of `wheelPosition(led)`.
    template <typename Random>
    void StartReactive(Random&& wheelPosition) {
        for (int led = 0; led < kLedCount; ++led) {
            reactive_[led] = {255, Phase::Falling, static_cast<uint8_t>(wheelPosition(led) % kWheelPositions)};
        }
    }
    uint8_t ReactiveLevel(int led) const { return led >= 0 && led < kLedCount ? reactive_[led].level : 0; }
    void ClearReactive() { reactive_ = {}; }

private:
    static constexpr int kWheelPositions = 192;
    enum class Phase : uint8_t { Idle, Falling };
    struct ReactiveLed {
        uint8_t level = 0;
        Phase phase = Phase::Idle;
        uint8_t wheel = 0;
    };
    std::array<ReactiveLed, kLedCount> reactive_{};
    uint8_t groupOffset_ = 0;
};

}  // namespace q208
