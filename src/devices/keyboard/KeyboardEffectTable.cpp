#include "devices/keyboard/KeyboardEffectTable.h"

#include <algorithm>
#include <array>

namespace q208 {

namespace {

using R = KeyboardRenderer;
using Row = IntervalRow;

constexpr KeyboardEffect kEffects[] = {
    {1, &R::RenderWave1, nullptr, Row::Wave1, &R::PrepareShared},
    {2, &R::RenderWave2, nullptr, Row::Wave2, &R::PrepareShared},
    {3, &R::RenderSpectrum, nullptr, Row::Standard, &R::PrepareShared},
    {4, &R::RenderKeyboardBreathing, nullptr, Row::Standard, &R::PrepareShared},
    {5, &R::RenderKeyboardStatic, nullptr, Row::Standard, &R::PrepareShared},
    {6, &R::RenderReactive, &R::KeyReactive, Row::Standard, &R::PrepareShared},
    {7, &R::RenderWaveLayers, &R::KeyWaveLayers, Row::Standard, &R::PrepareShared},
    {8, &R::RenderRipples, &R::KeyRipple, Row::Standard, &R::PrepareShared},
    {9, &R::RenderScanner, nullptr, Row::Standard, &R::PrepareShared},
    {10, &R::RenderColourCycle, nullptr, Row::ColourCycle, &R::PrepareShared},
    {11, &R::RenderPlasma, nullptr, Row::Standard, &R::PrepareShared},
    {12, &R::RenderRain, nullptr, Row::Standard, &R::PrepareRain},
    {13, &R::RenderStars, nullptr, Row::Standard, &R::PrepareStars},
    {14, &R::RenderFire, nullptr, Row::Standard, &R::PrepareFire},
    {15, &R::RenderMarquee, nullptr, Row::Standard, &R::PrepareMarquee},
    {16, &R::RenderSpin, nullptr, Row::Fixed4, &R::PrepareShared},
    {17, &R::RenderChecker, nullptr, Row::Fixed4, &R::PrepareShared},
    {18, &R::RenderCustomSlot, nullptr, Row::Standard, &R::PrepareCustom},
    {19, &R::RenderOffKeys, nullptr, Row::Standard, &R::PrepareShared},
    {21, &R::RenderPulse, nullptr, Row::Standard, &R::PrepareShared},
    {22, &R::RenderConfetti, nullptr, Row::Standard, &R::PrepareShared},
    {23, &R::RenderBlink, nullptr, Row::Standard, &R::PrepareShared},
    {24, &R::RenderSnake, nullptr, Row::Standard, &R::PrepareShared},
    {25, &R::RenderReactive, &R::KeyReactiveNeighbours, Row::Standard, &R::PrepareShared},
    {26, &R::RenderBreathingCycle, nullptr, Row::Standard, &R::PrepareShared},
    {27, &R::RenderBlinkCycle, nullptr, Row::Standard, &R::PrepareShared},
    {28, &R::RenderRowBreathing, nullptr, Row::Standard, &R::PrepareShared},
    {29, &R::RenderPattern, nullptr, Row::EveryPass, &R::PrepareShared},
    {30, &R::RenderHostColour, nullptr, Row::Standard, &R::PrepareShared},
    {33, &R::RenderSerpentine, nullptr, Row::Standard, &R::PrepareShared},
};

constexpr std::array<std::array<uint8_t, kLevelCount>, 5> kIntervals = {{
    {4, 4, 3, 2, 1},  // Wave1
    {4, 3, 2, 1, 0},  // Wave2
    {5, 4, 3, 2, 1},  // Standard
    {9, 8, 7, 6, 5},  // ColourCycle
    {4, 4, 4, 4, 4},  // Fixed4
}};

}  // namespace

const KeyboardEffect* FindKeyboardEffect(int number) {
    for (const auto& effect : kEffects)
        if (effect.number == number) return &effect;
    return nullptr;
}

int EffectInterval(IntervalRow row, int speedLevel) {
    if (row == IntervalRow::EveryPass) return 0;
    return kIntervals[static_cast<size_t>(row)][static_cast<size_t>(std::clamp(speedLevel, 0, kLevelCount - 1))];
}

}  // namespace q208
