#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

#include "devices/keyboard/KeyboardAnimator.h"
#include "devices/lighting/LightFrames.h"

using namespace q208;

namespace {

std::array<uint8_t, kKeyTableRows> NoLeds() {
    std::array<uint8_t, kKeyTableRows> map;
    map.fill(kNoLed);
    return map;
}

}  // namespace

TEST(LiveFrame, ScalesEachComponentByIntensityThroughTheLedMap) {
    std::array<KeyColour, kKeyTableRows> colours{};
    auto leds = NoLeds();
    colours[3] = {255, 128, 1, 255};
    leds[3] = 0;
    colours[4] = {200, 100, 50, 128};
    leds[4] = 113;  // the last position
    colours[5] = {9, 9, 9, 255};
    leds[5] = 114;  // beyond the frame: skipped
    colours[6] = {255, 255, 255, 255};  // no LED
    const LiveFrame frame = BuildLiveFrame(colours, leds);
    EXPECT_EQ(frame[0], 254);  // 255 × 255 ÷ 256
    EXPECT_EQ(frame[1], 127);
    EXPECT_EQ(frame[2], 0);
    EXPECT_EQ(frame[339], 100);
    EXPECT_EQ(frame[340], 50);
    EXPECT_EQ(frame[341], 25);
    int nonZero = 0;
    for (uint8_t b : frame) nonZero += b != 0;
    EXPECT_EQ(nonZero, 5);
}

TEST(CustomFrame, NibblesPerLedAndThePaintedKey) {
    std::array<KeyColour, kKeyTableRows> colours{};
    auto leds = NoLeds();
    colours[10] = {255, 255, 0, 0};  // swatch 2 → 3, intensity does not matter
    leds[10] = 6;                    // even: low nibble of byte 3
    colours[11] = {0, 0, 255, 0};    // swatch 7 → 8
    leds[11] = 7;                    // odd: high nibble of byte 3
    colours[12] = {1, 2, 3, 255};    // in no swatch → swatch 0 → 1
    leds[12] = 127;
    leds[13] = 0;  // black: 0
    leds[14] = 200;  // beyond the frame
    colours[14] = {255, 0, 0, 255};
    CustomFrame frame = BuildCustomFrame(colours, leds, kDefaultPalette);
    EXPECT_EQ(frame[3], 0x83);
    EXPECT_EQ(frame[63], 0x10);
    EXPECT_EQ(frame[0], 0);

    frame = BuildCustomFrame(colours, leds, kDefaultPalette, PaintedKey{13, 12});
    EXPECT_EQ(frame[0], 0x0C);
    frame = BuildCustomFrame(colours, leds, kDefaultPalette, PaintedKey{13, 16});  // not a nibble
    EXPECT_EQ(frame[0], 0);

    EXPECT_EQ(FindPaletteIndex(kDefaultPalette, {0, 0, 255}), 7);
    EXPECT_EQ(FindPaletteIndex(kDefaultPalette, {1, 1, 1}), 0);
    EXPECT_EQ(FindPaletteIndex({}, {1, 1, 1}), 0);
}

TEST(CustomFrame, UniformFrame) {
    const auto frame = BuildUniformCustomFrame(13);
    ASSERT_TRUE(frame.has_value());
    for (uint8_t b : *frame) EXPECT_EQ(b, 0xDD);
    EXPECT_EQ((*BuildUniformCustomFrame(0))[17], 0);
    EXPECT_FALSE(BuildUniformCustomFrame(16).has_value());
    EXPECT_FALSE(BuildUniformCustomFrame(-1).has_value());
}

TEST(KeyColourBuffer, BoundsAndPacking) {
    KeyColourBuffer buffer(3);
    EXPECT_TRUE(buffer.Set(2, KeyColour::FromPacked(0x04030201)));
    EXPECT_EQ(buffer.Get(2), (KeyColour{1, 2, 3, 4}));
    EXPECT_EQ(buffer.Get(2).Packed(), 0x04030201u);
    EXPECT_FALSE(buffer.Set(3, {1, 1, 1, 1}));
    EXPECT_EQ(buffer.Get(3), KeyColour{});
}

// A spectrum step paints every key alike, so any frame mixing two steps is torn.
TEST(LightConcurrency, RenderingWhileBuildingFramesNeverTears) {
    KeyColourBuffer colours(kKeyTableRows);
    KeyboardAnimator animator(colours, {}, 1);
    animator.SetLightState({.effect = 3, .brightnessLevel = 4, .speedLevel = 4});
    std::array<uint8_t, kKeyTableRows> leds;
    for (int row = 0; row < kKeyTableRows; ++row) leds[row] = static_cast<uint8_t>(row < kLiveFrameLeds ? row : kNoLed);

    std::atomic<bool> stop{false};
    std::thread renderer([&] {
        while (!stop) {
            animator.Step(1);
            animator.OnKeyEvent(5, kKeyPressed);
        }
    });
    std::thread settings([&] {
        for (int i = 0; i < 200 && !stop; ++i) {
            LightState light = animator.GetLightState();
            light.brightnessLevel = static_cast<uint8_t>(3 + i % 2);
            animator.SetLightState(light);
        }
    });
    LiveFrame frame;
    int torn = 0;
    for (int i = 0; i < 3000; ++i) {
        colours.Read([&](std::span<const KeyColour> keys) { BuildLiveFrame(keys, leds, frame); });
        for (int led = 1; led < kLiveFrameLeds; ++led)
            torn += frame[led * 3] != frame[0] || frame[led * 3 + 1] != frame[1] || frame[led * 3 + 2] != frame[2];
    }
    stop = true;
    renderer.join();
    settings.join();
    EXPECT_EQ(torn, 0);
}
