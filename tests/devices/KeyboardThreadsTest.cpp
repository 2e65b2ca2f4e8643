// The keyboard's listeners, animation thread and custom lighting against the emulated
// keyboard on the cable and through the receiver.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "device/DeviceResult.h"
#include "devices/keyboard/KeyboardAnimationThread.h"
#include "devices/keyboard/KeyboardCustomLighting.h"
#include "devices/keyboard/KeyboardListener.h"
#include "devices/keyboard/KeyboardRenderer.h"
#include "KeyboardTestRig.h"
#include "platform/TickCount.h"
#include "platform/Trace.h"
#include "profile/ProfilePaths.h"

namespace q208 {
namespace {

using test::DeviceKeyOfRow;
using test::KeyboardPath;
using test::KeyboardRig;

// What the listener handed over, waited for across threads.
class Recorder {
public:
    KeyboardListener::Handlers Handlers() {
        return {[this](bool lighting) { Add({-1, lighting ? 2 : 1}); }, [this](int row, int kind) { Add({row, kind}); },
                [this](uint16_t event) { Add({-2, event}); }};
    }
    bool WaitFor(size_t count, int ms = 2000) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return seen_.size() >= count; });
    }
    std::vector<std::pair<int, int>> Seen() {
        std::lock_guard lock(mutex_);
        return seen_;
    }

private:
    void Add(std::pair<int, int> item) {
        std::lock_guard lock(mutex_);
        seen_.push_back(item);
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::pair<int, int>> seen_;
};

class KeyboardListenerTest : public ::testing::TestWithParam<KeyboardPath> {
protected:
    KeyboardListenerTest() : rig_(GetParam().receiver), listenerChannel_(rig_.bus_) {
        memory_.ReadAll(rig_.commands_, rig_.channel_);
    }
    int Kind() const { return GetParam().receiver ? KeyboardListener::kReceiverKind : KeyboardListener::kWiredKind; }
    KeyboardRig rig_;
    CDeviceChannel listenerChannel_;
    KeyboardMemory memory_;
    Recorder recorder_;
};

TEST_P(KeyboardListenerTest, KeyPressesReachTheKeyHandlerAsRowsAndEntrySwitchesTheEventHandler) {
    KeyboardListener listener(listenerChannel_, memory_, recorder_.Handlers());
    ASSERT_TRUE(listener.Attach(rig_.CommandPath(), Kind()));
    EXPECT_TRUE(listener.IsAttached(Kind()));
    rig_.Keyboard().PressKey(DeviceKeyOfRow(64));
    rig_.Keyboard().ReleaseKey(DeviceKeyOfRow(64));
    rig_.Keyboard().SwitchLightingEntry(3);
    rig_.Keyboard().EmitEvent(KeyboardListener::kResyncWithLighting);
    ASSERT_TRUE(recorder_.WaitFor(4));
    const std::vector<std::pair<int, int>> expected = {{64, kKeyPressed}, {64, kKeyReleased}, {-2, 0x1003}, {-1, 2}};
    EXPECT_EQ(recorder_.Seen(), expected);
    EXPECT_TRUE(listener.TakeResyncRequest());
    EXPECT_FALSE(listener.TakeResyncRequest());
}

TEST_P(KeyboardListenerTest, CommandAnswersOnTheSameInterfaceAreNoEvents) {
    KeyboardListener listener(listenerChannel_, memory_, recorder_.Handlers());
    ASSERT_TRUE(listener.Attach(rig_.CommandPath(), Kind()));
    for (int i = 0; i < 5; ++i) memory_.ReadAll(rig_.commands_, rig_.channel_);
    rig_.Keyboard().PressKey(DeviceKeyOfRow(1));
    ASSERT_TRUE(recorder_.WaitFor(1));
    EXPECT_EQ(recorder_.Seen().front(), std::make_pair(1, kKeyPressed));
}

TEST_P(KeyboardListenerTest, DetachEndsABlockedListenerWithin500Ms) {
    KeyboardListener listener(listenerChannel_, memory_, recorder_.Handlers());
    ASSERT_TRUE(listener.Attach(rig_.CommandPath(), Kind()));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the thread waits in its read
    const uint64_t start = TickCount64();
    listener.Detach(Kind());
    EXPECT_LT(TickCount64() - start, 500u);
    EXPECT_FALSE(listener.IsAttached(Kind()));
    EXPECT_FALSE(listenerChannel_.ReceiverDevice().IsOpen());
    EXPECT_FALSE(listenerChannel_.WiredDevice().IsOpen());
}

TEST_P(KeyboardListenerTest, ReattachReplacesTheRunningListener) {
    KeyboardListener listener(listenerChannel_, memory_, recorder_.Handlers());
    ASSERT_TRUE(listener.Attach(rig_.CommandPath(), Kind()));
    ASSERT_TRUE(listener.Attach(rig_.CommandPath(), Kind()));
    rig_.Keyboard().PressKey(DeviceKeyOfRow(2));
    ASSERT_TRUE(recorder_.WaitFor(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(recorder_.Seen().size(), 1u) << "one listener per path";
    EXPECT_FALSE(listener.Attach("/no/such/path", Kind()));
    EXPECT_FALSE(listener.IsAttached(Kind()));
}

INSTANTIATE_TEST_SUITE_P(Paths, KeyboardListenerTest,
                         ::testing::Values(KeyboardPath{"Cable", false}, KeyboardPath{"Receiver", true}),
                         test::PathName);

TEST(KeyboardListenerDispatch, KeyEventsThroughTheMapsAndEntryChanges) {
    KeyboardMemory memory;
    KeyboardMemory::InfoBlock info{};
    info[KeyboardMemory::kInfoKeyCount] = 2;
    KeyboardMemory::Copy keyMap{}, leds{};
    const uint8_t escape[] = {0x20, 0x00, 0x29}, f1[] = {0x20, 0x00, 0x3A};
    std::copy(std::begin(escape), std::end(escape), keyMap.begin());  // device key 0 → row 0
    std::copy(std::begin(f1), std::end(f1), keyMap.begin() + 3);      // device key 1 → row 1
    memory.SetCopies(info, keyMap, leds);
    CDeviceChannel channel;
    Recorder recorder;
    KeyboardListener listener(channel, memory, recorder.Handlers());
    listener.Dispatch(0x05FF);  // device key 255: no row maps to it
    listener.Dispatch(0x0600);  // release of device key 0
    listener.Dispatch(0x0501);
    listener.Dispatch(0x0401);
    listener.Dispatch(0x0300);  // below the re-sync events: ignored
    const std::vector<std::pair<int, int>> expected = {{0, kKeyReleased}, {1, kKeyPressed}, {-1, 1}};
    EXPECT_EQ(recorder.Seen(), expected);
    EXPECT_FALSE(listener.ResyncRequested());

    EXPECT_EQ(KeyboardListener::DecodeEntryChange(0x1003)->entry, 3);
    EXPECT_FALSE(KeyboardListener::DecodeEntryChange(0x1003)->subValue.has_value());
    const auto both = KeyboardListener::DecodeEntryChange(0x1152);
    EXPECT_EQ(both->entry, 2);
    EXPECT_EQ(both->subValue, 5);
    EXPECT_FALSE(KeyboardListener::DecodeEntryChange(0x1203).has_value());
}

class KeyboardAnimationTest : public ::testing::TestWithParam<KeyboardPath> {
protected:
    KeyboardAnimationTest()
        : rig_(GetParam().receiver), animator_(colours_), sender_(rig_.commands_, colours_, memory_),
          thread_(rig_.channel_, animator_, sender_) {
        memory_.ReadAll(rig_.commands_, rig_.channel_);
    }
    void Run(int effect, int ms) {
        LightState light;
        light.effect = static_cast<uint8_t>(effect);
        light.speedLevel = 4;
        animator_.SetLightState(light);
        ASSERT_TRUE(thread_.Start());
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        thread_.Stop();
    }
    KeyboardRig rig_;
    KeyboardMemory memory_;
    KeyColourBuffer colours_{kKeyTableRows};
    KeyboardAnimator animator_;
    KeyboardFrameSender sender_;
    KeyboardAnimationThread thread_;
};

TEST_P(KeyboardAnimationTest, HostColourEffectStreamsLiveFramesThroughTheLedMap) {
    animator_.SetHostColour({200, 100, 0});
    Run(30, 300);
    EXPECT_GT(thread_.FramesSent(), 0u);
    EXPECT_GT(rig_.Keyboard().LiveFramesCompleted(), 0u);
    const auto frame = rig_.Keyboard().LightFrame();
    const auto key = sim::SimKeyboardKeys()[DeviceKeyOfRow(64)];
    ASSERT_GE(frame.size(), key.led * 3u + 3);
    EXPECT_EQ(frame[key.led * 3u], 200 * 255 / 256);
    EXPECT_EQ(frame[key.led * 3u + 1], 100 * 255 / 256);
    EXPECT_EQ(frame[key.led * 3u + 2], 0);
}

TEST_P(KeyboardAnimationTest, DeviceRenderedEffectRendersWithoutStreaming) {
    Run(3, 300);
    EXPECT_GT(thread_.Renders(), 0u);
    EXPECT_EQ(thread_.FramesSent(), 0u);
    EXPECT_EQ(rig_.Seen(0x12), 0u);
}

TEST_P(KeyboardAnimationTest, LightingHoldAndClosedChannelPauseTheAnimation) {
    rig_.channel_.SetLightingHold(true);
    Run(30, 150);
    EXPECT_EQ(thread_.Renders(), 0u);
    rig_.channel_.SetLightingHold(false);
    rig_.channel_.CloseAll();
    Run(30, 150);
    EXPECT_EQ(thread_.Renders(), 0u);
}

// Off screen, a device-rendered effect costs no passes at all until the wait is woken; the
// page shown again animates at once, long before the rest's safety bound.
TEST_P(KeyboardAnimationTest, UnseenEffectRestsUntilWoken) {
    std::atomic<bool> shown{false};
    Event wake(Event::ResetMode::Auto);
    KeyboardAnimationThread thread(
        rig_.channel_, animator_, sender_, [&shown] { return shown.load(); },
        [&wake](const Event& stop, int ms) { return Event::WaitAny({&stop, &wake}, ms) == 0; });
    LightState light;
    light.effect = 3;
    light.speedLevel = 4;
    animator_.SetLightState(light);
    ASSERT_TRUE(thread.Start());
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(thread.Renders(), 0u);
    shown = true;
    wake.Set();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(
                                                                  KeyboardAnimationThread::kUnseenRestMs / 2);
    while (thread.Renders() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GT(thread.Renders(), 0u);
    thread.Stop();
}

TEST_P(KeyboardAnimationTest, StopWinsOverAFrameWaitingForASilentKeyboard) {
    static std::mutex tracesMutex;
    static std::vector<std::string> traces;
    traces.clear();
    SetTraceSink([](const std::string& line) {
        std::lock_guard lock(tracesMutex);
        traces.push_back(line);
    });
    rig_.Keyboard().faults().noAnswer = sim::FaultCounter::kAlways;
    LightState light;
    light.effect = 30;  // streamed: every frame waits for an answer that never comes
    animator_.SetLightState(light);
    ASSERT_TRUE(thread_.Start());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (thread_.FramesSent() == 0 && thread_.Renders() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GT(thread_.Renders(), 0u);
    thread_.Stop();
    SetTraceSink(nullptr);
    EXPECT_FALSE(thread_.IsRunning());
    for (const std::string& line : traces) {
        EXPECT_EQ(line.find("did not stop"), std::string::npos) << line;
        EXPECT_EQ(line.find("超时"), std::string::npos) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, KeyboardAnimationTest,
                         ::testing::Values(KeyboardPath{"Cable", false}, KeyboardPath{"Receiver", true}),
                         test::PathName);

class KeyboardCustomLightingTest : public ::testing::TestWithParam<KeyboardPath> {
protected:
    KeyboardCustomLightingTest() : rig_(GetParam().receiver), custom_(rig_.commands_, colours_, memory_) {
        memory_.ReadAll(rig_.commands_, rig_.channel_);
        profile_.SetDefaultPath(DefaultProfileFile(kKeyboardFolder));
        profile_.SetPath(folder_.Path() / "p.Json");
        profile_.LoadSection(folder_.Path() / "p.Json");
        light_.effect = KeyboardCustomLighting::kCustomEffect;
        light_.red = 0;
        light_.green = 0;
        light_.blue = 255;  // swatch 7
        light_.word2 = 2;   // custom slot
        colours_.Update([](std::span<KeyColour> keys) {
            for (auto& key : keys) key = {1, 2, 3, 44};
        });
    }
    std::vector<uint8_t> Slot() { return rig_.Keyboard().CustomSlot(2); }
    KeyboardRig rig_;
    KeyboardMemory memory_;
    KeyColourBuffer colours_{kKeyTableRows};
    KeyboardCustomLighting custom_;
    test::ScratchFolder folder_;
    CKeyboardProfiledata profile_;
    LightState light_;
};

TEST_P(KeyboardCustomLightingTest, BrightFillKeepsAChosenSwatchAndDarkFillClearsIt) {
    custom_.SetPaintNumber(3);
    custom_.FillCustomColours(true, light_, std::nullopt);
    EXPECT_EQ(custom_.PaintNumber(), 3);
    EXPECT_EQ(Slot(), std::vector<uint8_t>(64, 3 * 17));
    EXPECT_EQ(colours_.Get(0), (KeyColour{0, 0, 255, 44})) << "intensity stays";
    EXPECT_EQ(colours_.Get(130), (KeyColour{1, 2, 3, 44}));
    EXPECT_EQ(colours_.Get(169), (KeyColour{1, 2, 3, 44}));

    custom_.FillCustomColours(false, light_, std::nullopt);
    EXPECT_EQ(custom_.PaintNumber(), 0);
    EXPECT_EQ(Slot(), std::vector<uint8_t>(64, 0));
    EXPECT_EQ(colours_.Get(129), (KeyColour{0, 0, 0, 44}));
    EXPECT_EQ(colours_.Get(130), (KeyColour{1, 2, 3, 44}));

    custom_.FillCustomColours(true, light_, std::nullopt);
    EXPECT_EQ(custom_.PaintNumber(), 8) << "no swatch chosen: the colour's own";
}

TEST_P(KeyboardCustomLightingTest, KeyClickOutsideTheCustomEffectChangesNothing) {
    light_.effect = 5;
    const auto before = colours_.Snapshot();
    EXPECT_FALSE(custom_.PaintKey(64, light_, KeyboardCustomLighting::Store{profile_, 0}));
    EXPECT_EQ(colours_.Snapshot(), before);
    EXPECT_EQ(rig_.Seen(0x0B), 0u);
    EXPECT_EQ(custom_.PaintNumber(), 0);
    EXPECT_FALSE(custom_.PaintKey(170, {}, std::nullopt));
}

TEST_P(KeyboardCustomLightingTest, PaintKeyStoresAndSavesBeforeAFailedWrite) {
    rig_.Keyboard().faults().statusRefused = 1;
    if (GetParam().receiver) rig_.devices_.Receiver()->faults().statusRefused = 1;
    ASSERT_TRUE(custom_.PaintKey(64, light_, KeyboardCustomLighting::Store{profile_, 0}));
    EXPECT_EQ(custom_.PaintNumber(), 8);
    CKeyboardProfiledata reread;
    reread.SetDefaultPath(DefaultProfileFile(kKeyboardFolder));
    reread.LoadSection(folder_.Path() / "p.Json");
    const auto stored = reread.GetCustomLightColors(0, kKeyTableRows);
    ASSERT_EQ(stored.size(), static_cast<size_t>(kKeyTableRows));
    EXPECT_EQ(stored[64].blue, 255);
    EXPECT_EQ(stored[64].red, 0);
}

TEST_P(KeyboardCustomLightingTest, PaintedFrameCarriesTheKeysSwatchAtItsLed) {
    custom_.FillCustomColours(false, light_, std::nullopt);
    ASSERT_TRUE(custom_.PaintKey(64, light_, std::nullopt));
    const auto slot = Slot();
    const uint8_t led = memory_.TableToLed(64);
    const uint8_t nibble = led % 2 ? slot[led / 2] >> 4 : slot[led / 2] & 0x0F;
    EXPECT_EQ(nibble, 8);
    EXPECT_EQ(std::count(slot.begin(), slot.end(), 0), 63);
}

TEST_P(KeyboardCustomLightingTest, ReloadTakesTheProfilesCurrentGroup) {
    std::vector<CustomLightColor> group(kKeyTableRows, CustomLightColor{9, 8, 7, 6});
    profile_.SetCustomLightModeGroupIndex(1);
    profile_.SetCustomLightColors(1, group);
    custom_.SetPaintNumber(5);
    custom_.ReloadCustomColours(profile_, light_);
    EXPECT_EQ(colours_.Get(150), (KeyColour{9, 8, 7, 6}));
    EXPECT_EQ(Slot(), std::vector<uint8_t>(64, 5 * 17));
}

INSTANTIATE_TEST_SUITE_P(Paths, KeyboardCustomLightingTest,
                         ::testing::Values(KeyboardPath{"Cable", false}, KeyboardPath{"Receiver", true}),
                         test::PathName);

}  // namespace
}  // namespace q208
