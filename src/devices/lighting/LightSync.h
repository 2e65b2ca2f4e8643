#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

namespace q208 {

// Same-mode lighting: every attached device shows one host-rendered effect in step. The
// settings are written on the UI thread and read by the synchronisation thread, so every
// field is an atomic byte; the effect state belongs to the thread that steps it.
class LightSync {
public:
    enum class Effect : uint8_t { Breathing = 0, Static = 1, Flashing = 2, Spectrum = 3, Off = 4 };
    static constexpr int kEffectCount = 5;
    static constexpr int kBreathingPhases = 128;
    static constexpr int kWheelSteps = 192;
    static constexpr int kBreathingWheelStep = 16;
    static constexpr int kFlashWheelStep = 14;
    static constexpr uint32_t kFlashUnitMs = 200;

    // Device kinds of the detection table.
    static constexpr int kKindKeyboard = 1;
    static constexpr int kKindMouse = 2;
    static constexpr int kKindMousePad = 3;
    static constexpr int kKindHeadset = 7;

    struct Setting {
        Effect effect = Effect::Spectrum;
        uint8_t brightnessLevel = 4;  // 0 … 4
        uint8_t speedLevel = 2;       // 0 … 4
        uint8_t direction = 1;        // not 0: the breathing phase counts up
        uint8_t multicolour = 0;      // not 0: colours come from the colour wheel
        uint8_t red = 255, green = 255, blue = 255;
    };

    // What the thread carries from one step to the next.
    struct StepState {
        int phase = 0;        // breathing, 0 … 127
        int wheel = 0;        // breathing and spectrum, 0 … 191
        int flashWheel = 0;   // flashing, 0 … 191
        bool flashOn = false;
        uint32_t lastFlashMs = 0;
    };

    void Store(const Setting& setting);
    Setting Load() const;
    void SetEffect(Effect effect) { effect_.store(static_cast<uint8_t>(effect)); }

    // Timer ticks between two steps of the current effect and speed.
    int TicksPerStep() const;
    // One step of the current effect: the colour word every device gets (red bits 0 … 7,
    // green 8 … 15, blue 16 … 23, brightness 24 … 31).
    uint32_t Step(StepState& state, uint32_t nowMs) const;

    // Steps of the single effects, for the thread and for tests.
    static int NextPhase(int phase, bool up);
    static int NextWheel(int index, int step);
    static uint32_t ColourWord(uint8_t red, uint8_t green, uint8_t blue, uint8_t brightness);

    // A device's lighting mode as an effect type, when its kind has a synchronised
    // counterpart for that mode; and the mode a kind shows for an effect type.
    static std::optional<Effect> EffectOfMode(int kind, int mode);
    static std::optional<int> ModeOfEffect(int kind, Effect effect);

private:
    static constexpr std::array<uint8_t, 5> kTicksByLevel = {28, 23, 18, 13, 7};

    std::atomic<uint8_t> effect_{static_cast<uint8_t>(Effect::Spectrum)};
    std::atomic<uint8_t> brightness_{4};
    std::atomic<uint8_t> speed_{2};
    std::atomic<uint8_t> direction_{1};
    std::atomic<uint8_t> multicolour_{0};
    std::atomic<uint32_t> colour_{0xFFFFFF};  // red bits 16 … 23, green 8 … 15, blue 0 … 7
};

}  // namespace q208
