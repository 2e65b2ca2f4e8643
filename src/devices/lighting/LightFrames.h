#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "devices/lighting/KeyColour.h"
#include "devices/lighting/LightTables.h"

namespace q208 {

inline constexpr int kLiveFrameLeds = 114;
inline constexpr int kLiveFrameBytes = kLiveFrameLeds * 3;
inline constexpr int kCustomFrameBytes = 64;
inline constexpr int kCustomFrameLeds = kCustomFrameBytes * 2;
inline constexpr uint8_t kNoLed = 0xFF;
inline constexpr int kMaxPaintNumber = 15;  // one nibble

using LiveFrame = std::array<uint8_t, kLiveFrameBytes>;
using CustomFrame = std::array<uint8_t, kCustomFrameBytes>;

// The lighting panel's 13 swatches.
extern const std::array<Rgb, 13> kDefaultPalette;

// The index of the first swatch equal to the colour; 0 when none is.
int FindPaletteIndex(std::span<const Rgb> palette, Rgb colour);

// The live colour frame: per LED position red, green, blue, each the component scaled by
// the key's intensity. tableToLed gives each key-table row's LED (kNoLed: none); LED
// positions beyond the frame are skipped, positions without a key stay 0.
void BuildLiveFrame(std::span<const KeyColour> colours, std::span<const uint8_t> tableToLed, LiveFrame& out);
LiveFrame BuildLiveFrame(std::span<const KeyColour> colours, std::span<const uint8_t> tableToLed);

// A key being painted: its row and the paint colour number it gets.
struct PaintedKey {
    int row = 0;
    int paintNumber = 0;
};

// The custom light frame: one nibble per LED (LED 2k low, 2k + 1 high nibble of byte k),
// 0 for a black key, else 1 + its swatch. A swatch number that does not fit a nibble and
// LEDs beyond the frame are skipped.
CustomFrame BuildCustomFrame(std::span<const KeyColour> colours, std::span<const uint8_t> tableToLed,
                             std::span<const Rgb> palette, std::optional<PaintedKey> painted = std::nullopt);

// Every LED the same swatch: each byte the paint colour number × 17. None for a number
// outside 0 … 15.
std::optional<CustomFrame> BuildUniformCustomFrame(int paintNumber);

}  // namespace q208
