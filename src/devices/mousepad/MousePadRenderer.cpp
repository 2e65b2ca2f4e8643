#include "devices/mousepad/MousePadRenderer.h"

#include <algorithm>

#include "devices/lighting/LightTables.h"

namespace q208 {
namespace {

constexpr int kFixed = 256;  // fractions of an LED in the chase
constexpr int kFullLevel = 255;

}  // namespace

void MousePadRenderer::Step() { phase_ = StepPhase(Light().direction, kWheelSteps, phase_, 1); }

KeyColour MousePadRenderer::WaveEntry(int position) const {
    position %= kWheelSteps;
    if (Light().colourCycle) return Entry(WheelColour(position), Brightness());
    // One rise and fall of the breathing curve over the wheel's length.
    const uint8_t level = kBreathingCurve[static_cast<size_t>(position * kBreathingSteps / kWheelSteps)];
    return Entry({Light().red, Light().green, Light().blue}, Scale(level, Brightness()));
}

void MousePadRenderer::RenderWave(std::span<KeyColour> keys) {
    Step();
    const int count = static_cast<int>(keys.size());
    for (int led = 0; led < count; ++led) keys[led] = WaveEntry(phase_ + led * kWheelSteps / count);
}

void MousePadRenderer::RenderMirroredWave(std::span<KeyColour> keys) {
    Step();
    const int count = static_cast<int>(keys.size());
    const int half = (count + 1) / 2;
    for (int led = 0; led < count; ++led) {
        const int fromEnd = std::min(led, count - 1 - led);
        keys[led] = WaveEntry(phase_ + fromEnd * kWheelSteps / half);
    }
}

void MousePadRenderer::RenderChase(std::span<KeyColour> keys) {
    Step();
    const int count = static_cast<int>(keys.size());
    if (count == 0) return;
    const Rgb colour = Light().colourCycle ? WheelColour(phase_) : Rgb{Light().red, Light().green, Light().blue};
    // The head's place in 1/256 LED; the tail lies behind it in the direction of travel.
    const int head = phase_ * count * kFixed / kWheelSteps;
    const int ring = count * kFixed;
    const bool forwards = Light().direction != 0;
    for (int led = 0; led < count; ++led) {
        const int at = led * kFixed;
        const int behind = ((forwards ? head - at : at - head) % ring + ring) % ring;
        const int level = behind < kTailLeds * kFixed ? kFullLevel - behind * kFullLevel / (kTailLeds * kFixed) : 0;
        keys[led] = Entry(colour, Scale(static_cast<uint8_t>(level), Brightness()));
    }
}

}  // namespace q208
