#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "devices/keyboard/EffectFrames.h"
#include "devices/keyboard/KeyboardAnimator.h"

using namespace q208;

namespace {

constexpr int kEsc = 0;         // grid column 1, row 0
constexpr int kF1 = 1;          // grid column 3, row 0
constexpr int kSpace = 108;     // grid column 6, row 5
constexpr int kG = 68;          // grid column 6, row 3
constexpr uint8_t kFull = 255;

KeyColour Key(Rgb c, uint8_t intensity) { return {c.red, c.green, c.blue, intensity}; }

class KeyboardEffects : public ::testing::Test {
protected:
    uint32_t now = 5000;
    KeyColourBuffer colours{kKeyTableRows};
    KeyboardAnimator animator{colours, [this] { return now; }, 1};

    void Start(int effect, LightState light = {}) {
        light.effect = static_cast<uint8_t>(effect);
        animator.SetLightState(light);
    }
    KeyColour At(int row) const { return colours.Get(static_cast<size_t>(row)); }
    template <typename Fn>
    void Tweak(Fn fn) {
        animator.WithRenderer(fn);
    }
    uint8_t Level(int row) {
        return animator.WithRenderer([&](KeyboardRenderer& r) { return r.KeyStates().Level(row); });
    }
};

}  // namespace

TEST_F(KeyboardEffects, Wave1ColumnsFollowWheelAndCurve) {
    Start(1, {.colourCycle = 1});
    animator.RenderNow();  // phase 1: column 0 shows wheel 2, each column 7 steps on
    EXPECT_EQ(At(kEsc), Key(kColourWheel[9], kFull));
    EXPECT_EQ(At(kF1), Key(kColourWheel[23], kFull));
    EXPECT_EQ(At(kSpace), Key(kColourWheel[44], kFull));
    EXPECT_EQ(At(20), KeyColour{});  // no key

    Start(2);  // changes the effect: prepared again
    Start(1, {.brightnessLevel = 4, .colourCycle = 0, .red = 10, .green = 20, .blue = 30});
    animator.RenderNow();  // curve index 2 + 7 × column
    EXPECT_EQ(At(kEsc), (KeyColour{10, 20, 30, static_cast<uint8_t>(255 * kBreathingCurve[16 + 9] / 256)}));
    EXPECT_EQ(At(kF1).intensity, 255 * kWave1Curve[23] / 256);
}

TEST_F(KeyboardEffects, Wave2BothDirections) {
    Start(2, {.brightnessLevel = 4, .colourCycle = 1});
    animator.RenderNow();  // phase 1, 2 wheel steps per column
    EXPECT_EQ(At(kEsc), Key(kColourWheel[3], kFull));
    EXPECT_EQ(At(kF1), Key(kColourWheel[7], kFull));

    Start(1);
    Start(2, {.brightnessLevel = 4, .direction = 0, .colourCycle = 0, .red = 200});
    animator.RenderNow();  // phase 0 → 95; column c at curve index (95 + c) mod 96
    EXPECT_EQ(At(kEsc), (KeyColour{200, 255, 255, 0}));  // index 0
    EXPECT_EQ(At(kF1).intensity, 255 * kWave2Curve[2] / 256);
    animator.RenderNow();  // phase 94
    EXPECT_EQ(At(kF1).intensity, 255 * kWave2Curve[1] / 256);
}

TEST_F(KeyboardEffects, KeyboardBreathingByColumn) {
    Start(4, {.brightnessLevel = 2, .colourCycle = 1});
    Tweak([](KeyboardRenderer& r) { r.Animation().phase = 62; });
    animator.RenderNow();
    EXPECT_EQ(At(kEsc), Key(kColourWheel[7], 255 * 135 / 256));
    EXPECT_EQ(At(kSpace), Key(kColourWheel[42], 255 * 135 / 256));
    Tweak([](KeyboardRenderer& r) { r.Animation().phase = 127; });
    animator.RenderNow();  // restarts at 0
    EXPECT_EQ(At(kEsc).intensity, 0);
}

TEST_F(KeyboardEffects, KeyboardStaticRowsOfThePositionTable) {
    Start(5, {.brightnessLevel = 3, .red = 1, .green = 2, .blue = 3});
    animator.RenderNow();
    EXPECT_EQ(At(kSpace), (KeyColour{1, 2, 3, 195}));

    Start(4);
    Start(5, {.brightnessLevel = 3, .colourCycle = 1});
    animator.RenderNow();
    EXPECT_EQ(At(2), Key(kColourWheel[138], 195));     // F2: table row 0
    EXPECT_EQ(At(kEsc), Key(kColourWheel[126], 195));  // table row 1
    EXPECT_EQ(At(kSpace), Key(kColourWheel[18], 195)); // table row 10
    EXPECT_EQ(At(106), Key(kColourWheel[6], 195));     // left Win: table row 11
}

TEST_F(KeyboardEffects, ColourCycleCustomSlotAndHostColour) {
    Start(10, {.brightnessLevel = 1});
    animator.RenderNow();
    EXPECT_EQ(At(kEsc), Key(kColourWheel[9], 80));   // starts at 8 × column
    EXPECT_EQ(At(16), Key(kColourWheel[129], 80));   // off the grid: 8 × row
    EXPECT_EQ(At(20), KeyColour{});

    colours.Set(7, {4, 5, 6, 0});
    Start(18, {.brightnessLevel = 2});
    animator.RenderNow();
    EXPECT_EQ(At(7), (KeyColour{4, 5, 6, 135}));

    Start(30, {.brightnessLevel = 4});
    animator.SetHostColour({7, 8, 9});
    animator.RenderNow();
    EXPECT_EQ(At(150), (KeyColour{7, 8, 9, 255}));
}

TEST_F(KeyboardEffects, ReactiveKeyLightsWhileHeldAndFadesAfterRelease) {
    Start(6, {.brightnessLevel = 4, .red = 100, .green = 0, .blue = 0});
    animator.OnKeyEvent(kG, kKeyPressed);
    for (int i = 0; i < 3; ++i) animator.RenderNow();
    EXPECT_EQ(At(kG), (KeyColour{100, 0, 0, 254}));
    animator.OnKeyEvent(kG, kKeyReleased);
    animator.RenderNow();
    EXPECT_EQ(Level(kG), 250);
    for (int i = 0; i < 60; ++i) animator.RenderNow();
    EXPECT_EQ(Level(kG), 0);
    EXPECT_EQ(At(kG).intensity, 0);

    // A second held key fades once more than one pressed key is counted.
    animator.OnKeyEvent(kEsc, kKeyPressed);
    animator.OnKeyEvent(kG, kKeyPressed);
    animator.RenderNow();
    EXPECT_EQ(Level(kEsc), 255);
    EXPECT_EQ(Level(kG), 255);
    animator.RenderNow();
    EXPECT_EQ(Level(kEsc), 255);
    EXPECT_EQ(Level(kG), 250);

    animator.OnKeyEvent(500, kKeyPressed);  // ignored
    animator.OnKeyEvent(kG, 3);
}

TEST_F(KeyboardEffects, Reactive25MarksNeighboursThatRiseAndFade) {
    Start(25, {.brightnessLevel = 4, .colourCycle = 1});
    animator.OnKeyEvent(kG, kKeyPressed);
    const std::set<int> expected = {46, 47, 48, 67, 69, 88, 89, 90};
    animator.WithRenderer([&](KeyboardRenderer& r) {
        for (int row = 0; row < kKeyTableRows; ++row) {
            const bool neighbour = r.PressStateOf(row) == KeyboardRenderer::PressState::Neighbour;
            EXPECT_EQ(neighbour, expected.count(row) == 1) << row;
        }
        EXPECT_EQ(r.WheelIndexOf(48), r.WheelIndexOf(kG));
    });
    animator.RenderNow();
    EXPECT_EQ(Level(48), 15);
    for (int i = 0; i < 16; ++i) animator.RenderNow();
    EXPECT_EQ(Level(48), 255);
    animator.RenderNow();
    animator.RenderNow();
    EXPECT_EQ(Level(48), 250);  // a neighbour fades on its own
    EXPECT_EQ(Level(kG), 255);  // the held key stays lit
    // Effect 6 does not mark neighbours.
    Start(6);
    animator.OnKeyEvent(kG, kKeyPressed);
    animator.WithRenderer([](KeyboardRenderer& r) {
        EXPECT_EQ(r.PressStateOf(48), KeyboardRenderer::PressState::Idle);
    });
}

TEST_F(KeyboardEffects, Reactive7WavesSpreadFourWays) {
    Start(7, {.brightnessLevel = 4, .colourCycle = 0});
    animator.OnKeyEvent(kG, kKeyPressed);
    animator.WithRenderer([](KeyboardRenderer& r) {
        for (int layer = 0; layer < KeyboardRenderer::kWaveLayers; ++layer) EXPECT_EQ(r.WaveLayer(layer, 6), 1 << 3);
    });
    animator.RenderNow();
    for (int row : {69, 67, 89, 47, kG}) EXPECT_EQ(Level(row), 255 - 32) << row;
    EXPECT_EQ(Level(70), 0);
    animator.RenderNow();
    for (int row : {70, 66, kSpace, 26}) EXPECT_EQ(Level(row), 255 - 32) << row;
    EXPECT_GT(At(70).intensity, 0);
    for (int i = 0; i < 200; ++i) animator.RenderNow();
    for (int row = 0; row < kKeyTableRows; ++row) ASSERT_EQ(Level(row), 0) << row;
}

TEST_F(KeyboardEffects, AnimatorRunsAtTheIntervalOfTheSpeedLevel) {
    Start(3, {.speedLevel = 0});  // every 5 counts
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(animator.Step(1));
    EXPECT_TRUE(animator.Step(1));
    EXPECT_FALSE(animator.Step(1));
    EXPECT_TRUE(animator.Step(10));

    Start(2, {.speedLevel = 4});  // interval 0: every pass
    EXPECT_TRUE(animator.Step(0));
    Start(29);
    EXPECT_TRUE(animator.Step(0));
    for (int none : {20, 31, 32, 99}) {
        Start(none);
        EXPECT_FALSE(animator.Step(100)) << none;
        EXPECT_FALSE(animator.RenderNow()) << none;
    }
    EXPECT_EQ(EffectInterval(IntervalRow::ColourCycle, 0), 9);
    EXPECT_EQ(EffectInterval(IntervalRow::Fixed4, 4), 4);
    EXPECT_EQ(EffectInterval(IntervalRow::Wave1, 1), 4);
}

TEST(KeyboardAnimatorClock, CountsTicksOfTheCountPeriod) {
    KeyColourBuffer colours(kKeyTableRows);
    KeyboardAnimator animator(colours, [] { return 0u; });
    animator.SetLightState({.effect = 3, .speedLevel = 4});  // interval 1 count of 16 ms
    EXPECT_FALSE(animator.Step(15));
    EXPECT_TRUE(animator.Step(1));
}

// The animation thread sleeps as long as this says, so it must count down to the very pass
// that renders, and start over after it.
TEST(KeyboardAnimatorClock, MsUntilDueCountsDownToTheRenderingPass) {
    KeyColourBuffer colours(kKeyTableRows);
    KeyboardAnimator animator(colours, [] { return 0u; });
    EXPECT_EQ(animator.MsUntilDue(), 0u);                   // no effect yet
    animator.SetLightState({.effect = 3, .speedLevel = 0});  // interval 5 counts of 16 ms
    EXPECT_EQ(animator.MsUntilDue(), 80u);
    EXPECT_FALSE(animator.Step(30));
    EXPECT_EQ(animator.MsUntilDue(), 50u);
    EXPECT_FALSE(animator.Step(49));
    EXPECT_EQ(animator.MsUntilDue(), 1u);
    EXPECT_TRUE(animator.Step(1));
    EXPECT_EQ(animator.MsUntilDue(), 80u);
    animator.SetLightState({.effect = 29});  // renders on every pass
    EXPECT_EQ(animator.MsUntilDue(), 0u);
}

namespace {

bool Differ(const std::vector<KeyColour>& a, const std::vector<KeyColour>& b) { return a != b; }

int Lit(const std::vector<KeyColour>& frame) {
    int lit = 0;
    for (const auto& key : frame) lit += key.intensity > 0 && !key.IsBlack();
    return lit;
}

void ExpectLivelyFrames(int effect, LightState light) {
    const auto frames = RenderEffectFrames(effect, 40, light);
    ASSERT_TRUE(frames.has_value()) << effect;
    ASSERT_EQ(frames->size(), 40u);
    int changes = 0, maxLit = 0;
    for (size_t i = 0; i < frames->size(); ++i) {
        const auto& frame = (*frames)[i];
        ASSERT_EQ(frame.size(), static_cast<size_t>(kKeyTableRows));
        for (int row = kFirstSpareRow; row < kKeyTableRows; ++row) EXPECT_EQ(frame[row].intensity, 0) << effect;
        for (const auto& key : frame) ASSERT_LE(key.intensity, BrightnessOf(light.brightnessLevel)) << effect;
        maxLit = std::max(maxLit, Lit(frame));
        if (i > 0 && Differ(frame, (*frames)[i - 1])) ++changes;
    }
    EXPECT_GE(changes, 20) << "effect " << effect << " barely moves";
    EXPECT_GE(maxLit, 4) << "effect " << effect << " stays nearly dark";
}

}  // namespace

TEST(OwnEffects, EveryOwnEffectMovesAndStaysInBounds) {
    for (int effect : {8, 9, 11, 12, 13, 14, 15, 16, 17, 21, 22, 24, 28, 33}) {
        for (uint8_t cycle : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "effect " << effect << " colour cycle " << int{cycle});
            ExpectLivelyFrames(effect, {.brightnessLevel = 3, .colourCycle = cycle, .red = 40, .green = 200, .blue = 90});
        }
    }
}

TEST(OwnEffects, SevenHostPatternsDiffer) {
    std::vector<std::vector<KeyColour>> firstFrames;
    for (int pattern = 0; pattern < KeyboardRenderer::kPatternCount; ++pattern) {
        SCOPED_TRACE(testing::Message() << "pattern " << pattern);
        uint32_t now = 0;
        KeyColourBuffer colours(kKeyTableRows);
        KeyboardAnimator animator(colours, [&now] { return now; });
        animator.SetLightState({.effect = 29, .brightnessLevel = 4, .red = 255, .green = 0, .blue = 0});
        animator.SetOptionState(pattern);
        std::vector<KeyColour> previous;
        int changes = 0;
        for (int step = 0; step < 60; ++step) {
            now += 48;
            ASSERT_TRUE(animator.Step(1));
            const auto frame = colours.Snapshot();
            if (step == 0) firstFrames.push_back(frame);
            changes += step > 0 && frame != previous;
            EXPECT_GT(Lit(frame), 4);
            previous = frame;
        }
        EXPECT_GE(changes, 15);
    }
    for (size_t a = 0; a < firstFrames.size(); ++a)
        for (size_t b = a + 1; b < firstFrames.size(); ++b) EXPECT_NE(firstFrames[a], firstFrames[b]) << a << " " << b;
}

TEST(EffectFrames, RendersStepsOrRefuses) {
    const auto frames = RenderEffectFrames(5, 3, {.brightnessLevel = 4, .red = 1, .green = 2, .blue = 3});
    ASSERT_TRUE(frames.has_value());
    ASSERT_EQ(frames->size(), 3u);
    EXPECT_EQ((*frames)[2][kSpace], (KeyColour{1, 2, 3, 255}));
    EXPECT_FALSE(RenderEffectFrames(20, 3).has_value());
    EXPECT_FALSE(RenderEffectFrames(1, -1).has_value());
    EXPECT_TRUE(RenderEffectFrames(1, 0)->empty());
}
