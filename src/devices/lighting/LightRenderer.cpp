#include "devices/lighting/LightRenderer.h"

#include <algorithm>

#include "platform/TickCount.h"

namespace q208 {

namespace {

constexpr uint8_t kCycleColourStep = 16;  // wheel steps between two breaths or blinks

uint8_t NextCycleIndex(uint8_t index) {
    const int next = index + kCycleColourStep;
    return static_cast<uint8_t>(next >= kWheelSteps ? 0 : next);
}

}  // namespace

uint8_t StepPhase(uint8_t direction, uint8_t limit, uint8_t phase, uint8_t step) {
    if (limit == 0) return 0;
    if (direction != 0) {
        const int next = int{phase} + step;
        return static_cast<uint8_t>(next >= limit ? 0 : next);
    }
    const int next = int{phase} - step;
    if (next < 0 || phase >= limit) return static_cast<uint8_t>(std::max(0, limit - step));
    return static_cast<uint8_t>(next);
}

LightRenderer::LightRenderer(Clock clock)
    : clock_(clock ? std::move(clock) : Clock([] { return TickCount(); })) {}

Rgb LightRenderer::CurrentColour() const {
    if (light_.colourCycle) return WheelColour(animation_.colourIndex);
    return {light_.red, light_.green, light_.blue};
}

void LightRenderer::Fill(std::span<KeyColour> keys, Rgb colour, uint8_t intensity) {
    std::fill(keys.begin(), keys.end(), Entry(colour, intensity));
}

bool LightRenderer::StepBreathingPhase() {
    animation_.phase = StepPhase(light_.direction, kBreathingSteps, animation_.phase, 1);
    return animation_.phase == 0;
}

bool LightRenderer::BlinkToggleDue() {
    const uint32_t now = clock_();
    const uint32_t halfPeriod =
        kBlinkHalfPeriod[std::min<size_t>(light_.speedLevel, kLevelCount - 1)] * kBlinkUnitMs;
    if (now - animation_.lastToggleTick < halfPeriod) return false;
    animation_.lastToggleTick = now;
    animation_.toggle ^= 1;
    return true;
}

void LightRenderer::RenderStatic(std::span<KeyColour> keys) {
    Fill(keys, CurrentColour(), Brightness());
}

void LightRenderer::RenderBreathing(std::span<KeyColour> keys) {
    if (StepBreathingPhase()) animation_.colourIndex = NextCycleIndex(animation_.colourIndex);
    Fill(keys, CurrentColour(), Scale(kBreathingCurve[animation_.phase], Brightness()));
}

void LightRenderer::RenderBreathingCycle(std::span<KeyColour> keys) {
    const size_t count = kBreathingColours.size();
    animation_.colourIndex = static_cast<uint8_t>(animation_.colourIndex % count);
    if (StepBreathingPhase())
        animation_.colourIndex = static_cast<uint8_t>((animation_.colourIndex + 1) % count);
    Fill(keys, kBreathingColours[animation_.colourIndex],
         Scale(kBreathingCurve[animation_.phase], Brightness()));
}

void LightRenderer::RenderSpectrum(std::span<KeyColour> keys) {
    animation_.phase = StepPhase(light_.direction, kWheelSteps, animation_.phase, 1);
    Fill(keys, kColourWheel[animation_.phase], Brightness());
}

void LightRenderer::RenderBlink(std::span<KeyColour> keys) {
    if (BlinkToggleDue()) animation_.colourIndex = NextCycleIndex(animation_.colourIndex);
    if (animation_.toggle)
        Fill(keys, CurrentColour(), Brightness());
    else
        RenderOff(keys);
}

void LightRenderer::RenderBlinkCycle(std::span<KeyColour> keys) {
    const size_t count = kBlinkingColours.size();
    animation_.colourIndex = static_cast<uint8_t>(animation_.colourIndex % count);
    if (BlinkToggleDue())
        animation_.colourIndex = static_cast<uint8_t>((animation_.colourIndex + 1) % count);
    if (animation_.toggle)
        Fill(keys, kBlinkingColours[animation_.colourIndex], Brightness());
    else
        RenderOff(keys);
}

void LightRenderer::RenderOff(std::span<KeyColour> keys) { Fill(keys, {}, 0); }

}  // namespace q208
