#pragma once

#include <cstdint>
#include <span>

#include "devices/keyboard/KeyboardRenderer.h"

namespace q208 {

// How often an effect's renderer runs, as counts of the animation counter per speed level.
enum class IntervalRow : uint8_t { Wave1, Wave2, Standard, ColourCycle, Fixed4, EveryPass };

struct KeyboardEffect {
    using Render = void (KeyboardRenderer::*)(std::span<KeyColour>);
    using KeyHandler = void (KeyboardRenderer::*)(int row, int kind);
    using Prepare = void (KeyboardRenderer::*)();

    uint8_t number;
    Render render;
    KeyHandler keyHandler;  // null: the effect ignores key events
    IntervalRow interval;
    Prepare prepare;
};

// The effect of an effect number; null for numbers that render nothing (20, 31, 32, unknown).
const KeyboardEffect* FindKeyboardEffect(int number);
// Counts between two renders at a speed level (levels outside 0 … 4 count as the nearest);
// 0 renders on every pass.
int EffectInterval(IntervalRow row, int speedLevel);

}  // namespace q208
