#include <gtest/gtest.h>

#include <vector>

#include "devices/lighting/KeyStateBuffer.h"
#include "devices/lighting/LightRenderer.h"

using namespace q208;

namespace {

struct ManualClock {
    uint32_t now = 1000;
    LightRenderer::Clock Fn() {
        return [this] { return now; };
    }
};

}  // namespace

TEST(StepPhase, WrapsBothWays) {
    EXPECT_EQ(StepPhase(1, 128, 0, 1), 1);
    EXPECT_EQ(StepPhase(1, 128, 127, 1), 0);
    EXPECT_EQ(StepPhase(1, 192, 190, 3), 0);
    EXPECT_EQ(StepPhase(0, 128, 5, 1), 4);
    EXPECT_EQ(StepPhase(0, 128, 0, 1), 127);
    EXPECT_EQ(StepPhase(0, 192, 2, 3), 189);
    // A phase left beyond the limit by another effect starts over.
    EXPECT_EQ(StepPhase(1, 96, 150, 1), 0);
    EXPECT_EQ(StepPhase(0, 96, 150, 1), 95);
    EXPECT_EQ(StepPhase(1, 255, 254, 1), 0);
}

TEST(LightRenderer, StaticBreathingAndSpectrum) {
    LightRenderer r;
    std::vector<KeyColour> keys(5);
    r.Light() = {.brightnessLevel = 2, .red = 1, .green = 2, .blue = 3};
    r.RenderStatic(keys);
    EXPECT_EQ(keys[4], (KeyColour{1, 2, 3, 135}));

    r.Light().colourCycle = 1;
    r.Animation().colourIndex = 9;
    r.RenderStatic(keys);
    EXPECT_EQ(keys[0], (KeyColour{255, 32, 0, 135}));

    r.Animation() = {.phase = 62, .colourIndex = 0};
    r.Light().brightnessLevel = 4;
    r.RenderBreathing(keys);
    EXPECT_EQ(r.Animation().phase, 63);
    EXPECT_EQ(keys[0].intensity, 254);  // 255 × 255 ÷ 256

    // The colour index grows by 16 per breath and never reaches 192, past the wheel's end.
    r.Animation() = {.phase = 127, .colourIndex = 176};
    r.RenderBreathing(keys);
    EXPECT_EQ(r.Animation().phase, 0);
    EXPECT_EQ(r.Animation().colourIndex, 0);

    r.Light().direction = 0;
    r.Animation().phase = 0;
    r.RenderSpectrum(keys);
    EXPECT_EQ(r.Animation().phase, 191);
    EXPECT_EQ(keys[3], (KeyColour{255, 0, 0, 255}));
}

TEST(LightRenderer, BreathingCycleUsesFourColours) {
    LightRenderer r;
    std::vector<KeyColour> keys(2);
    r.Animation() = {.phase = 127, .colourIndex = 3};
    r.RenderBreathingCycle(keys);
    EXPECT_EQ(r.Animation().colourIndex, 0);
    EXPECT_EQ((Rgb{keys[0].red, keys[0].green, keys[0].blue}), kBreathingColours[0]);
    r.Animation() = {.phase = 10, .colourIndex = 150};  // left by another effect
    r.RenderBreathingCycle(keys);
    EXPECT_LT(r.Animation().colourIndex, 4);
}

TEST(LightRenderer, BlinkFollowsTheClock) {
    ManualClock clock;
    LightRenderer r(clock.Fn());
    std::vector<KeyColour> keys(3);
    r.Light() = {.brightnessLevel = 4, .speedLevel = 2, .red = 9, .green = 8, .blue = 7};
    r.Animation().lastToggleTick = clock.now;  // half-period 4 × 200 ms
    r.RenderBlink(keys);
    EXPECT_EQ(keys[0], KeyColour{});
    clock.now += 799;
    r.RenderBlink(keys);
    EXPECT_EQ(keys[0], KeyColour{});
    clock.now += 1;
    r.RenderBlink(keys);
    EXPECT_EQ(keys[1], (KeyColour{9, 8, 7, 255}));
    EXPECT_EQ(r.Animation().colourIndex, 16);
    clock.now += 800;
    r.RenderBlink(keys);
    EXPECT_EQ(keys[1], KeyColour{});

    r.Light().speedLevel = 4;  // 200 ms
    r.Animation().colourIndex = 3;
    clock.now += 200;
    r.RenderBlinkCycle(keys);
    EXPECT_EQ(r.Animation().colourIndex, 0);
    EXPECT_EQ((Rgb{keys[2].red, keys[2].green, keys[2].blue}), kBlinkingColours[0]);
    EXPECT_EQ(keys[2].intensity, 255);

    LightRenderer::RenderOff(keys);
    EXPECT_EQ(keys[2], KeyColour{});
}

TEST(KeyStateBuffer, RingMarksAndRotates) {
    KeyStateBuffer s;
    s.SetRingByte(0, 1);
    s.SetRingByte(8, 1);
    s.SetRingByte(9, 1);  // beyond the marked part
    s.MarkRing();
    EXPECT_EQ(s.Level(0), 255);
    EXPECT_EQ(s.Level(8), 255);
    EXPECT_EQ(s.Level(9), 0);
    s.RotateRing(true);
    EXPECT_EQ(s.RingByte(1), 1);
    EXPECT_EQ(s.RingByte(0), 0);
    s.RotateRing(false);
    s.RotateRing(false);
    EXPECT_EQ(s.RingByte(22), 1);  // position 0 went round to the end
    s.ClearKeyStates();
    EXPECT_EQ(s.Level(0), 0);
    EXPECT_EQ(s.RingByte(8), 0);
}

TEST(KeyStateBuffer, FadeStepIsLargeWhenHighOneBelow17AndBounded) {
    for (int mode = -1; mode <= KeyStateBuffer::kFadeModes; ++mode) {
        KeyStateBuffer s;
        s.SetLevel(5, 255);
        const uint8_t first = s.FadeStep(5, mode);
        EXPECT_LE(first, 255 - 8) << mode;
        s.SetLevel(5, 16);
        EXPECT_EQ(s.FadeStep(5, mode), 15);
        s.SetLevel(5, 255);
        int calls = 0;
        while (s.FadeStep(5, mode) != 0) ASSERT_LT(++calls, 100);
        EXPECT_EQ(s.FadeStep(5, mode), 0);
    }
    KeyStateBuffer s;
    EXPECT_EQ(s.FadeStep(500, 0), 0);
}
