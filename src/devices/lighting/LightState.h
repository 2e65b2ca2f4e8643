#pragma once

#include <cstdint>

namespace q208 {

// The lighting setting a device shows: what the renderers read.
struct LightState {
    uint8_t effect = 0;           // effect number (keyboard) or effect code (other devices)
    uint8_t brightnessLevel = 4;  // 0 … 4
    uint8_t speedLevel = 2;       // 0 … 4
    uint8_t direction = 1;        // 0 runs backwards
    uint8_t colourCycle = 0;      // not 0: colours come from the colour wheel
    uint8_t red = 255;
    uint8_t green = 255;
    uint8_t blue = 255;
    uint32_t word1 = 0;
    uint32_t word2 = 0;  // the custom light slot
};

// What the renderers carry from one step to the next.
struct AnimationState {
    uint8_t phase = 0;
    uint8_t colourIndex = 0;
    uint8_t toggle = 0;
    uint32_t lastToggleTick = 0;
};

}  // namespace q208
