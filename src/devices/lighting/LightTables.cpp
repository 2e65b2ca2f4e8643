#include "devices/lighting/LightTables.h"

#include <algorithm>

namespace q208 {

namespace {

// The component that grows along an arc, from 1 to 255.
constexpr std::array<uint8_t, kWheelArcSteps> kArcRising = {
    1,   3,   5,   7,   10,  14,  18,  22,  26,  32,  38,  44,  50,  57,  65,  73,
    81,  89,  99,  109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255};

// The component that shrinks along an arc, from 248 to 0. The first eight values are
// what the keyboard shows; the rest continue with steps that get smaller towards 0.
constexpr std::array<uint8_t, kWheelArcSteps> kArcFalling = {
    248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 123, 112, 102, 92, 83, 74,
    66,  58,  51,  44,  38,  32,  27,  22,  17,  13,  9,   6,   4,   2,  1,  0};

constexpr std::array<uint8_t, kBreathingSteps> MakeBreathingCurve() {
    // (step size, last value of the run) after the first run 0 … 10.
    constexpr std::array<std::array<int, 2>, 6> runs = {
        {{2, 24}, {3, 45}, {4, 89}, {5, 134}, {6, 206}, {7, 255}}};
    std::array<uint8_t, kBreathingSteps> curve{};
    int step = 0;
    for (int value = 0; value <= 10; ++value) curve[step++] = static_cast<uint8_t>(value);
    int value = 10;
    for (const auto& run : runs) {
        while (value < run[1]) {
            value += run[0];
            curve[step++] = static_cast<uint8_t>(value);
        }
    }
    for (int i = 0; i < kBreathingSteps / 2; ++i)
        curve[kBreathingSteps - 1 - i] = curve[i];
    return curve;
}

constexpr std::array<Rgb, kWheelSteps> MakeWheel() {
    std::array<Rgb, kWheelSteps> wheel{};
    for (int i = 0; i < kWheelArcSteps; ++i) {
        const uint8_t up = kArcRising[i];
        const uint8_t down = kArcFalling[i];
        wheel[0 * kWheelArcSteps + i] = {255, up, 0};
        wheel[1 * kWheelArcSteps + i] = {down, 255, 0};
        wheel[2 * kWheelArcSteps + i] = {0, 255, up};
        wheel[3 * kWheelArcSteps + i] = {0, down, 255};
        wheel[4 * kWheelArcSteps + i] = {up, 0, 255};
        wheel[5 * kWheelArcSteps + i] = {255, 0, down};
    }
    return wheel;
}

// Effect 1: the breathing curve from its value 22 (step 16) up to 255 and back to 22.
std::array<uint8_t, kWaveCurveSteps> MakeWave1Curve(const std::array<uint8_t, kBreathingSteps>& breathing) {
    std::array<uint8_t, kWaveCurveSteps> curve{};
    for (int i = 0; i < kWaveCurveSteps; ++i) curve[i] = breathing[16 + i];
    return curve;
}

// Effect 2: a quick 25-step rise, the breathing curve's falling half, then dark.
std::array<uint8_t, kWaveCurveSteps> MakeWave2Curve(const std::array<uint8_t, kBreathingSteps>& breathing) {
    constexpr std::array<uint8_t, 25> rise = {0,   4,   8,   14,  22,  33,  45,  61,  77,
                                              84,  100, 110, 120, 130, 140, 150, 158, 166,
                                              175, 182, 191, 204, 220, 234, 255};
    std::array<uint8_t, kWaveCurveSteps> curve{};
    int i = 0;
    for (uint8_t value : rise) curve[i++] = value;
    for (int step = kBreathingSteps / 2 + 1; step < kBreathingSteps; ++step) curve[i++] = breathing[step];
    return curve;  // the remaining steps stay 0
}

}  // namespace

const std::array<uint8_t, kLevelCount> kBrightnessByLevel = {0, 80, 135, 195, 255};
const std::array<uint8_t, kLevelCount> kBlinkHalfPeriod = {8, 6, 4, 2, 1};

const std::array<Rgb, 4> kBreathingColours = {
    Rgb{255, 0, 0}, Rgb{255, 60, 0}, Rgb{255, 255, 0}, Rgb{0, 255, 0}};
const std::array<Rgb, 4> kBlinkingColours = {
    Rgb{0, 255, 180}, Rgb{0, 255, 0}, Rgb{255, 255, 255}, Rgb{255, 0, 0}};

const std::array<uint8_t, kBreathingSteps> kBreathingCurve = MakeBreathingCurve();
const std::array<Rgb, kWheelSteps> kColourWheel = MakeWheel();
const std::array<uint8_t, kWaveCurveSteps> kWave1Curve = MakeWave1Curve(kBreathingCurve);
const std::array<uint8_t, kWaveCurveSteps> kWave2Curve = MakeWave2Curve(kBreathingCurve);

uint8_t BrightnessOf(int level) {
    return kBrightnessByLevel[static_cast<size_t>(std::clamp(level, 0, kLevelCount - 1))];
}

Rgb WheelColour(int index) {
    const int wrapped = ((index % kWheelSteps) + kWheelSteps) % kWheelSteps;
    return kColourWheel[static_cast<size_t>(wrapped)];
}

}  // namespace q208
