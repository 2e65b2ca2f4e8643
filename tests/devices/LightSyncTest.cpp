#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "devices/lighting/LightSync.h"
#include "devices/lighting/LightSyncThread.h"
#include "devices/lighting/LightTables.h"

namespace q208 {
namespace {

using Effect = LightSync::Effect;

TEST(LightSyncTest, BreathingPhaseAndWheelWrapAtTheirEnds) {
    EXPECT_EQ(LightSync::NextPhase(127, true), 0);
    EXPECT_EQ(LightSync::NextPhase(0, false), 127);
    EXPECT_EQ(LightSync::NextPhase(5, true), 6);
    EXPECT_EQ(LightSync::NextWheel(176, 16), 0);  // would reach 192
    EXPECT_EQ(LightSync::NextWheel(175, 16), 191);
    EXPECT_EQ(LightSync::NextWheel(182, 14), 0);  // flashing: 196 ≥ 192

    LightSync sync;
    LightSync::Setting s;
    s.effect = Effect::Breathing;
    s.brightnessLevel = 4;
    s.multicolour = 1;
    sync.Store(s);
    LightSync::StepState st;
    st.phase = 127;
    st.wheel = 0;
    s.direction = 1;
    sync.Store(s);
    // Phase 0 is dark, and a dark phase moves the colour on by 16.
    const Rgb next = kColourWheel[16];
    EXPECT_EQ(sync.Step(st, 0), LightSync::ColourWord(next.red, next.green, next.blue, 0));
    EXPECT_EQ(st.phase, 0);
    EXPECT_EQ(st.wheel, 16);
}

TEST(LightSyncTest, SpectrumFromTheLastWheelEntryStartsOverAtRed) {
    LightSync sync;
    LightSync::Setting s;
    s.effect = Effect::Spectrum;
    s.brightnessLevel = 2;
    sync.Store(s);
    LightSync::StepState st;
    st.wheel = 191;
    EXPECT_EQ(sync.Step(st, 0), LightSync::ColourWord(255, 1, 0, 135));
    EXPECT_EQ(st.wheel, 0);
}

TEST(LightSyncTest, StaticOffAndFlashingTiming) {
    LightSync sync;
    LightSync::Setting s;
    s.effect = Effect::Static;
    s.brightnessLevel = 1;
    s.red = 10, s.green = 20, s.blue = 30;
    sync.Store(s);
    LightSync::StepState st;
    EXPECT_EQ(sync.Step(st, 0), 0x501E140Au);  // red in the low byte, brightness 80 in the high one

    s.effect = Effect::Off;
    sync.Store(s);
    EXPECT_EQ(sync.Step(st, 0), 0u);

    s.effect = Effect::Flashing;
    s.speedLevel = 4;  // 7 × 200 ms between toggles
    sync.Store(s);
    st = {};
    st.lastFlashMs = 1000;
    EXPECT_EQ(sync.Step(st, 1000 + 1399), 0u);  // not yet: still off
    EXPECT_EQ(sync.Step(st, 1000 + 1400), LightSync::ColourWord(10, 20, 30, 80));
    EXPECT_EQ(st.flashWheel, 14);
    EXPECT_EQ(sync.Step(st, 2400 + 1400), 0u);
}

TEST(LightSyncTest, ModesMapBothWaysForEveryKind) {
    // Same mode on a keyboard in mode 23 (flashing): mice use 10, pads and headsets 4.
    const auto effect = LightSync::EffectOfMode(LightSync::kKindKeyboard, 23);
    ASSERT_TRUE(effect);
    EXPECT_EQ(*effect, Effect::Flashing);
    EXPECT_EQ(LightSync::ModeOfEffect(LightSync::kKindMouse, *effect), 10);
    EXPECT_EQ(LightSync::ModeOfEffect(LightSync::kKindMousePad, *effect), 4);
    EXPECT_EQ(LightSync::ModeOfEffect(LightSync::kKindHeadset, *effect), 4);
    for (int kind : {1, 2, 3, 7}) {
        for (int type = 0; type < LightSync::kEffectCount; ++type) {
            const auto mode = LightSync::ModeOfEffect(kind, static_cast<Effect>(type));
            ASSERT_TRUE(mode);
            EXPECT_EQ(LightSync::EffectOfMode(kind, *mode), static_cast<Effect>(type)) << kind << ' ' << type;
        }
    }
    EXPECT_FALSE(LightSync::EffectOfMode(LightSync::kKindKeyboard, 1));  // wave has no counterpart
    EXPECT_FALSE(LightSync::EffectOfMode(5, 0));
}

TEST(LightSyncThreadTest, WithoutDevicesItWakesOnceASecondAndPaintsNothing) {
    LightSync sync;
    LightSyncThread thread(sync);
    std::atomic<int> painted{0};
    std::atomic<bool> active{false};
    thread.AddTarget({&painted, [&] { return active.load(); }, [&](uint32_t) { ++painted; }});
    ASSERT_TRUE(thread.Start());
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_LE(thread.IdleWakes(), 3u);
    EXPECT_GE(thread.IdleWakes(), 1u);
    EXPECT_EQ(painted.load(), 0);
    EXPECT_EQ(thread.Stop(), WorkerThread::StopResult::Ended);
}

TEST(LightSyncThreadTest, EveryActiveTargetGetsTheSameWordEachStep) {
    LightSync sync;
    LightSync::Setting s;
    s.effect = Effect::Spectrum;
    sync.Store(s);
    LightSyncThread thread(sync);
    std::vector<uint32_t> a, b, c;
    thread.AddTarget({&a, [] { return true; }, [&](uint32_t w) { a.push_back(w); }});
    thread.AddTarget({&b, [] { return true; }, [&](uint32_t w) { b.push_back(w); }});
    thread.AddTarget({&c, [] { return false; }, [&](uint32_t w) { c.push_back(w); }});
    LightSync::StepState st;
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(thread.StepOnce(st, 0));
    EXPECT_EQ(a, b);
    ASSERT_EQ(a.size(), 5u);
    EXPECT_NE(a[0], a[4]);
    EXPECT_TRUE(c.empty());
    thread.RemoveTarget(&a);
    thread.RemoveTarget(&b);
    EXPECT_FALSE(thread.StepOnce(st, 0));
}

TEST(LightSyncThreadTest, StopsWithinItsBoundWhileStepping) {
    LightSync sync;
    LightSync::Setting s;
    s.speedLevel = 4;
    sync.Store(s);
    LightSyncThread thread(sync);
    thread.AddTarget({&sync, [] { return true; }, [](uint32_t) {}});
    ASSERT_TRUE(thread.Start());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // The UI thread changes the settings while the thread reads them.
    for (int i = 0; i < 100; ++i) sync.SetEffect(static_cast<Effect>(i % LightSync::kEffectCount));
    EXPECT_GT(thread.Steps(), 0u);
    EXPECT_EQ(thread.Stop(), WorkerThread::StopResult::Ended);
}

}  // namespace
}  // namespace q208
