// The mouse page's preview: when it steps, what the mouse's own renderers paint, and the
// input reports the listeners hand on.
#include <gtest/gtest.h>

#include <vector>

#include "device/CDeviceChannel.h"
#include "devices/mouse/MouseListener.h"
#include "devices/mouse/MousePreviewSchedule.h"
#include "devices/mouse/MouseRenderer.h"

namespace q208 {
namespace {

// Steps taken over `ms` milliseconds of a clock advancing 2 ms a pass.
int StepsOver(int mode, int speed, int ms) {
    MousePreviewSchedule schedule;
    int steps = 0;
    for (uint32_t tick = 1000; tick <= 1000u + ms; tick += 2) steps += schedule.Pass(tick, mode, speed) ? 1 : 0;
    return steps;
}

TEST(MousePreviewScheduleTest, ThresholdsBySpeedAndModesWithoutOne) {
    EXPECT_EQ(StepsOver(0, 0, 160), 10);               // every 8 clock changes
    EXPECT_EQ(StepsOver(1, 2, 160), 20);               // every 4
    EXPECT_EQ(StepsOver(7, 4, 160), 80);               // every change
    EXPECT_EQ(MousePreviewSchedule::Threshold(9), 1);  // a level past 4 counts as 4
    EXPECT_EQ(MousePreviewSchedule::Threshold(-1), 8);
    EXPECT_EQ(StepsOver(9, 0, 160), 81);  // mode 9 steps on every pass
    EXPECT_EQ(StepsOver(12, 0, 160), 81);

    // A clock moving 1 ms a pass is counted once it has moved more than 1 ms: every 2 ms.
    MousePreviewSchedule schedule;
    int steps = 0;
    for (uint32_t tick = 0; tick < 100; ++tick) steps += schedule.Pass(tick, 0, 4) ? 1 : 0;
    EXPECT_EQ(steps, 49);
}

// Sleeping for WaitMs between passes steps at the same rate as waking every millisecond.
TEST(MousePreviewScheduleTest, SleepingUntilDueKeepsTheRate) {
    for (int speed = 0; speed <= 4; ++speed) {
        MousePreviewSchedule schedule;
        int steps = 0, passes = 0;
        for (uint32_t tick = 1000; tick <= 1160;) {
            steps += schedule.Pass(tick, 0, speed) ? 1 : 0;
            ++passes;
            tick += static_cast<uint32_t>(schedule.WaitMs(tick, 0, speed));
        }
        EXPECT_EQ(steps, StepsOver(0, speed, 160)) << "speed " << speed;
        EXPECT_LE(passes, steps + 2) << "speed " << speed;  // no pass without a step
    }
    MousePreviewSchedule still;
    EXPECT_EQ(still.WaitMs(0, 9, 4), MousePreviewSchedule::kUnthresholdedWaitMs);
}

TEST(MouseRendererTest, GroupsRingAndReactiveFade) {
    MouseRenderer renderer;
    std::vector<KeyColour> leds(15);
    renderer.Light().colourCycle = 1;
    renderer.RenderGroups(leds);
    EXPECT_EQ(leds[0].red, leds[7].red);  // seven groups repeat along the LEDs
    EXPECT_NE(leds[0].green + leds[0].blue * 3, leds[1].green + leds[1].blue * 3);
    const KeyColour before = leds[0];
    renderer.RenderGroups(leds);
    EXPECT_FALSE(before.red == leds[0].red && before.green == leds[0].green && before.blue == leds[0].blue);

    renderer.Light().colourCycle = 0;
    renderer.RenderRing(leds);
    int lit = 0;
    for (const KeyColour& led : leds) lit += led.intensity > 0 ? 1 : 0;
    EXPECT_GT(lit, 0);
    EXPECT_LT(lit, 15);

    renderer.StartReactive([](int led) { return led * 40; });
    renderer.RenderReactive(leds);
    EXPECT_EQ(renderer.ReactiveLevel(3), 240);
    for (int step = 0; step < 16; ++step) renderer.RenderReactive(leds);
    EXPECT_EQ(renderer.ReactiveLevel(3), 0);
    EXPECT_EQ(leds[3].intensity, 0);
    renderer.RenderReactive(leds);  // a faded LED stays dark
    EXPECT_EQ(renderer.ReactiveLevel(3), 0);
}

TEST(MouseListenerTest, EventsGoToTheirHandlers) {
    CDeviceChannel channel;
    int resyncs = 0, clicks = 0;
    std::vector<MouseListener::BlockChange> blocks;
    MouseListener listener(channel, {[&] { ++resyncs; }, [&] { ++clicks; },
                                     [&](const MouseListener::BlockChange& c) { blocks.push_back(c); }});
    listener.Dispatch(0x0401, MouseListener::kWiredKind);
    listener.Dispatch(0x0481, MouseListener::kReceiverKind);
    listener.Dispatch(0x0403, MouseListener::kWiredKind);  // a click counts only over the receiver
    listener.Dispatch(0x0403, MouseListener::kReceiverKind);
    listener.Dispatch(0x1002, MouseListener::kWiredKind);
    listener.Dispatch(0x1153, MouseListener::kReceiverKind);
    listener.Dispatch(0x1200, MouseListener::kReceiverKind);
    EXPECT_EQ(resyncs, 2);
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].block, 2);
    EXPECT_FALSE(blocks[0].activeStage);
    EXPECT_EQ(blocks[1].block, 3);
    EXPECT_EQ(blocks[1].activeStage, 5);
}

}  // namespace
}  // namespace q208
