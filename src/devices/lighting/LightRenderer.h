#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "devices/lighting/KeyColour.h"
#include "devices/lighting/KeyStateBuffer.h"
#include "devices/lighting/LightState.h"
#include "devices/lighting/LightTables.h"

namespace q208 {

// Moves a phase by step in 8-bit arithmetic: up (direction not 0) it wraps to 0 at limit;
// down it restarts at limit − step when it would fall below 0. A phase at or beyond the
// limit (left by another effect) starts over at 0 going up and at limit − step going down.
uint8_t StepPhase(uint8_t direction, uint8_t limit, uint8_t phase, uint8_t step);

// Scales a component or an intensity by a level 0 … 255 (the high byte of the product).
inline uint8_t Scale(uint8_t value, uint8_t level) {
    return static_cast<uint8_t>((unsigned{value} * level) >> 8);
}

// The renderers every device has. Each writes every per-key entry it is given, from the
// light state and the animation state it keeps between steps.
class LightRenderer {
public:
    using Clock = std::function<uint32_t()>;

    // The clock gives milliseconds; TickCount when none is given.
    explicit LightRenderer(Clock clock = {});
    virtual ~LightRenderer() = default;
    LightRenderer(const LightRenderer&) = delete;
    LightRenderer& operator=(const LightRenderer&) = delete;

    LightState& Light() { return light_; }
    const LightState& Light() const { return light_; }
    AnimationState& Animation() { return animation_; }
    const AnimationState& Animation() const { return animation_; }
    uint32_t Now() const { return clock_(); }
    // Fade levels and marquee ring of the reactive effects.
    KeyStateBuffer& KeyStates() { return keyStates_; }
    const KeyStateBuffer& KeyStates() const { return keyStates_; }

    void RenderStatic(std::span<KeyColour> keys);
    void RenderBreathing(std::span<KeyColour> keys);
    void RenderBreathingCycle(std::span<KeyColour> keys);
    void RenderSpectrum(std::span<KeyColour> keys);
    void RenderBlink(std::span<KeyColour> keys);
    void RenderBlinkCycle(std::span<KeyColour> keys);
    static void RenderOff(std::span<KeyColour> keys);

protected:
    // The light state's colour, or the wheel colour at the colour index with colour cycle.
    Rgb CurrentColour() const;
    uint8_t Brightness() const { return BrightnessOf(light_.brightnessLevel); }
    static void Fill(std::span<KeyColour> keys, Rgb colour, uint8_t intensity);
    static KeyColour Entry(Rgb colour, uint8_t intensity) {
        return {colour.red, colour.green, colour.blue, intensity};
    }

private:
    // Steps the breathing phase; true when it came back to 0.
    bool StepBreathingPhase();
    // True when the blink half-period has passed (and restarts it).
    bool BlinkToggleDue();

    LightState light_;
    AnimationState animation_;
    KeyStateBuffer keyStates_;
    Clock clock_;
};

}  // namespace q208
