#pragma once

#include <cstdint>
#include <span>

#include "devices/lighting/KeyColour.h"
#include "devices/lighting/LightRenderer.h"

namespace q208 {

// The base renderers and the pad's three of its own, for the page's preview of the pad's
// LEDs (in their order round the rim). Each of the pad's renderers moves one phase of the
// colour wheel per step, forwards or backwards by the direction; the colour is the wheel's
// (colour cycle on) or the chosen one, whose brightness then carries the wave. Used under
// the device's light lock, like the base renderers.
class MousePadRenderer : public LightRenderer {
public:
    static constexpr int kTailLeds = 4;  // LEDs the chase's light fades over

    using LightRenderer::LightRenderer;

    // One wave over all LEDs: the whole wheel (or one rise and fall of the chosen colour)
    // spread once round the rim, moving on.
    void RenderWave(std::span<KeyColour> keys);
    // The wave mirrored about the middle LED: both halves run the same way from the ends.
    void RenderMirroredWave(std::span<KeyColour> keys);
    // One light running round the rim with a tail that fades over kTailLeds LEDs.
    void RenderChase(std::span<KeyColour> keys);
    uint8_t WavePhase() const { return phase_; }
    void Restart() { phase_ = 0; }

private:
    // The entry of wave position `position` (0 … kWheelSteps − 1).
    KeyColour WaveEntry(int position) const;
    void Step();

    uint8_t phase_ = 0;
};

}  // namespace q208
