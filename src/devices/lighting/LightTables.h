#pragma once

#include <array>
#include <cstdint>

namespace q208 {

// One red, green, blue triple of a lighting table.
struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr int kLevelCount = 5;          // brightness and speed levels 0 … 4
inline constexpr int kBreathingSteps = 128;
inline constexpr int kWheelSteps = 192;
inline constexpr int kWheelArcSteps = 32;

// Intensity of each brightness level.
extern const std::array<uint8_t, kLevelCount> kBrightnessByLevel;
// Blink half-period per speed level, in units of kBlinkUnitMs.
extern const std::array<uint8_t, kLevelCount> kBlinkHalfPeriod;
inline constexpr uint32_t kBlinkUnitMs = 200;

extern const std::array<Rgb, 4> kBreathingColours;
extern const std::array<Rgb, 4> kBlinkingColours;

// Rises 0 → 255 over steps 0 … 63, then mirrors back to 0 over steps 64 … 127.
extern const std::array<uint8_t, kBreathingSteps> kBreathingCurve;
// Six arcs of 32 steps: red → yellow → green → cyan → blue → magenta → red.
extern const std::array<Rgb, kWheelSteps> kColourWheel;

// Column curves of the wave effects 1 and 2 (96 steps each).
inline constexpr int kWaveCurveSteps = 96;
extern const std::array<uint8_t, kWaveCurveSteps> kWave1Curve;
extern const std::array<uint8_t, kWaveCurveSteps> kWave2Curve;

// Intensity of a brightness level; levels above 4 count as 4.
uint8_t BrightnessOf(int level);
// The wheel entry of any index, taken modulo the wheel length.
Rgb WheelColour(int index);

}  // namespace q208
