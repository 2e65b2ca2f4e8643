#include "devices/mouse/MouseRenderer.h"

#include "devices/lighting/LightTables.h"

namespace q208 {
namespace {

// Fade mode of the ring's LEDs: the quick one, so the marquee leaves a short tail.
constexpr int kRingFadeMode = 1;
constexpr int kMarkedRingBytes = 3;

}  // namespace

void MouseRenderer::RenderGroups(std::span<KeyColour> keys) {
    groupOffset_ = StepPhase(Light().direction, kWheelPositions, groupOffset_, kGroupStep);
    const uint8_t intensity = Brightness();
    for (size_t led = 0; led < keys.size(); ++led) {
        const int group = static_cast<int>(led % kGroupCount);
        const Rgb colour = Light().colourCycle
                               ? WheelColour((groupOffset_ + group * kWheelPositions / kGroupCount) % kWheelPositions)
                               : Rgb{Light().red, Light().green, Light().blue};
        keys[led] = Entry(colour, intensity);
    }
}

void MouseRenderer::RenderRing(std::span<KeyColour> keys) {
    KeyStateBuffer& states = KeyStates();
    bool empty = true;
    for (int i = 0; i < KeyStateBuffer::kRingSize; ++i) empty = empty && states.RingByte(i) == 0;
    // A ring that was cleared (a mode change) starts with its first bytes marked again.
    if (empty) {
        for (int i = 0; i < kMarkedRingBytes; ++i) states.SetRingByte(i, 1);
    }
    for (size_t led = 0; led < keys.size() && led < static_cast<size_t>(kMaxLightKeys); ++led)
        states.FadeStep(static_cast<int>(led), kRingFadeMode);
    states.RotateRing(Light().direction != 0);
    states.MarkRing();
    const Rgb colour = CurrentColour();
    const uint8_t brightness = Brightness();
    for (size_t led = 0; led < keys.size(); ++led) {
        const uint8_t level = states.Level(static_cast<int>(led));
        keys[led] = Entry(colour, Scale(level, brightness));
    }
}

void MouseRenderer::RenderReactive(std::span<KeyColour> keys) {
    const uint8_t brightness = Brightness();
    for (size_t led = 0; led < keys.size(); ++led) {
        if (led >= static_cast<size_t>(kLedCount)) {
            keys[led] = {};
            continue;
        }
        ReactiveLed& state = reactive_[led];
        switch (state.phase) {
            case Phase::Falling:
                state.level = static_cast<uint8_t>(state.level < kLevelStep ? 0 : state.level - kLevelStep);
                if (state.level == 0) state.phase = Phase::Idle;
                break;
            case Phase::Idle:
                break;
        }
        keys[led] = Entry(WheelColour(state.wheel), Scale(state.level, brightness));
    }
}

}  // namespace q208
