// The mouse pad's block conversion, preview renderers and schedule, and its listener, without
// a device.
#include <gtest/gtest.h>

#include <vector>

#include "device/CDeviceChannel.h"
#include "devices/mousepad/MousePadListener.h"
#include "devices/mousepad/MousePadPreviewSchedule.h"
#include "devices/mousepad/MousePadRenderer.h"
#include "devices/mousepad/MousePadSettingsBlock.h"

namespace q208 {
namespace {

using Block = MousePadSettingsBlock;

// Ten modes whose codes are not their positions: mode i has code 0x20 + i.
KeyboardEffectList Modes() {
    std::vector<KeyboardEffectList::Entry> entries;
    for (int i = 0; i < 10; ++i) entries.push_back({"mode" + std::to_string(i), true, 0x20 + i});
    return KeyboardEffectList(entries);
}

Block::ReadBytes PadBytes(uint8_t code, uint8_t speedByte) {
    Block::ReadBytes read{};
    for (size_t i = 0; i < read.size(); ++i) read[i] = static_cast<uint8_t>(0xA0 + i);  // the pad's own bytes
    read[Block::kMode] = code;
    read[Block::kBrightness] = 3;
    read[Block::kSpeed] = speedByte;
    return read;
}

TEST(MousePadBlockTest, ModeCodesAndSpeedTranslateBothWays) {
    const KeyboardEffectList modes = Modes();
    Block::Bytes block = Block::FromDevice(PadBytes(0x27, 1), 2, modes);
    EXPECT_EQ(block[Block::kBlockNumber], 2);
    EXPECT_EQ(block[Block::kMode], 7);
    EXPECT_EQ(block[Block::kSpeed], 3);
    const Block::Bytes sent = Block::ToDevice(block, modes);
    EXPECT_EQ(sent[Block::kMode], 0x27);
    EXPECT_EQ(sent[Block::kSpeed], 1);

    // Speed byte 0 is level 4, and level 4 goes back as 0.
    block = Block::FromDevice(PadBytes(0x20, 0), 0, modes);
    EXPECT_EQ(block[Block::kSpeed], 4);
    EXPECT_EQ(Block::ToDevice(block, modes)[Block::kSpeed], 0);

    // A code in no entry stays as read.
    block = Block::FromDevice(PadBytes(0x55, 2), 0, modes);
    EXPECT_EQ(block[Block::kMode], 0x55);
}

TEST(MousePadBlockTest, ModesPastEightAreWrittenWithModeZerosCode) {
    const KeyboardEffectList modes = Modes();
    EXPECT_EQ(Block::CodeOf(8, modes), 0x28);
    EXPECT_EQ(Block::CodeOf(9, modes), 0x20);
    EXPECT_EQ(Block::CodeOf(200, modes), 0x20);
    Block::Bytes block{};
    LightInfoRecord light;
    light.selectItem = 9;
    Block::TakeLight(light, block);
    EXPECT_EQ(Block::ToDevice(block, modes)[Block::kMode], 0x20);
}

TEST(MousePadBlockTest, TheProfilesLightingFillsItsBytesAndThePadsBytesStay) {
    Block::Bytes block = Block::FromDevice(PadBytes(0x21, 2), 0, Modes());
    LightInfoRecord light;
    light.selectItem = 4;
    light.light = 1;
    light.speed = 2;
    light.fx = 1;
    light.multiColor = 1;
    light.red = 10;
    light.green = 20;
    light.blue = 30;
    Block::TakeLight(light, block);
    const Block::Bytes expected = {0,    4,    1,    2,    0xA4, 1,    10,   20,   30,   0xA9, 0xAA,
                                   0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0, 0xB1, 0xB2, 0xB3, 0xB4};
    EXPECT_EQ(block, expected);
    LightInfoRecord base;
    base.fx = 1;
    const LightInfoRecord back = Block::LightOf(block, base);
    EXPECT_EQ(back.selectItem, 4);
    EXPECT_EQ(back.fx, 1);  // the block has no direction: the base's stays
    EXPECT_EQ(back.blue, 30);
    EXPECT_EQ(Block::ReadOffset(3), 75);
    EXPECT_EQ(Block::WriteOffset(3), 192);
}

TEST(MousePadPreviewScheduleTest, TheWaitBeforeAStepFollowsTheSpeed) {
    for (const auto& [speed, ms] : {std::pair{0, 8}, {1, 6}, {2, 4}, {3, 2}, {4, 1}, {9, 1}, {-3, 8}})
        EXPECT_EQ(MousePadPreviewSchedule::WaitMs(speed), ms) << "speed " << speed;
}

class MousePadRendererTest : public ::testing::Test {
protected:
    MousePadRendererTest() {
        renderer.Light().brightnessLevel = 4;
        renderer.Light().direction = 1;
    }
    MousePadRenderer renderer;
    std::vector<KeyColour> leds = std::vector<KeyColour>(15);
};

TEST_F(MousePadRendererTest, TheWaveSpreadsTheWheelRoundTheRimAndMovesOn) {
    renderer.Light().colourCycle = 1;
    renderer.RenderWave(leds);
    EXPECT_NE(leds[0], leds[7]);
    EXPECT_EQ(leds[0].intensity, 255);
    const std::vector<KeyColour> first = leds;
    const uint8_t phase = renderer.WavePhase();
    renderer.RenderWave(leds);
    EXPECT_EQ(renderer.WavePhase(), phase + 1);
    EXPECT_NE(leds, first);
    renderer.Light().direction = 0;
    renderer.RenderWave(leds);
    EXPECT_EQ(leds, first);  // one step back shows the wave as it was

    // With the chosen colour the brightness makes the wave.
    renderer.Light().colourCycle = 0;
    renderer.Light().red = 0;
    renderer.Light().green = 200;
    renderer.Light().blue = 0;
    renderer.RenderWave(leds);
    int dark = 0, bright = 0;
    for (const KeyColour& led : leds) {
        EXPECT_EQ(led.green, 200);
        dark += led.intensity < 64 ? 1 : 0;
        bright += led.intensity > 192 ? 1 : 0;
    }
    EXPECT_GT(dark, 0);
    EXPECT_GT(bright, 0);
}

TEST_F(MousePadRendererTest, TheMirroredWaveIsTheSameOnBothHalves) {
    renderer.Light().colourCycle = 1;
    for (int step = 0; step < 5; ++step) {
        renderer.RenderMirroredWave(leds);
        for (size_t i = 0; i < leds.size(); ++i) EXPECT_EQ(leds[i], leds[leds.size() - 1 - i]) << "led " << i;
    }
    EXPECT_NE(leds[0], leds[7]);
}

TEST_F(MousePadRendererTest, TheChaseLightsAHeadWithAFadingTailThatGoesRound) {
    renderer.Light().red = 255;
    auto litCount = [&] {
        int lit = 0;
        for (const KeyColour& led : leds) lit += led.intensity > 0 ? 1 : 0;
        return lit;
    };
    std::vector<int> heads;
    for (int step = 1; step < 192; ++step) {  // phases 1 … 191: once round
        renderer.RenderChase(leds);
        ASSERT_GE(litCount(), 1);
        ASSERT_LE(litCount(), MousePadRenderer::kTailLeds + 1);
        const auto head = std::max_element(leds.begin(), leds.end(), [](const KeyColour& a, const KeyColour& b) {
            return a.intensity < b.intensity;
        });
        if (heads.empty() || heads.back() != head - leds.begin()) heads.push_back(static_cast<int>(head - leds.begin()));
    }
    // Once round the head visits every LED once, in order.
    ASSERT_EQ(heads.size(), leds.size());
    for (size_t i = 1; i < heads.size(); ++i) EXPECT_EQ(heads[i], (heads[i - 1] + 1) % 15);
    // Backwards, the head runs the other way.
    renderer.Light().direction = 0;
    renderer.RenderChase(leds);
    const int before = static_cast<int>(std::max_element(leds.begin(), leds.end(), [](auto& a, auto& b) {
                                            return a.intensity < b.intensity;
                                        }) - leds.begin());
    for (int step = 0; step < 13; ++step) renderer.RenderChase(leds);
    const int after = static_cast<int>(std::max_element(leds.begin(), leds.end(), [](auto& a, auto& b) {
                                           return a.intensity < b.intensity;
                                       }) - leds.begin());
    EXPECT_EQ(after, (before + 14) % 15);
}

TEST(MousePadListenerTest, OnlyTheResyncEventAsksForARead) {
    CDeviceChannel channel;
    int resyncs = 0;
    MousePadListener listener(channel, [&] { ++resyncs; });
    listener.Dispatch(0x0401);
    listener.Dispatch(0x0402);
    listener.Dispatch(0x0481);
    listener.Dispatch(0x1001);
    EXPECT_EQ(resyncs, 1);
    EXPECT_FALSE(listener.Attach("sim:0#vid_4e5b&pid_5d02&mi_01", MousePadListener::kReceiverKind));
}

}  // namespace
}  // namespace q208
