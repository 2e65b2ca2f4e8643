// The host command set against the emulated devices, on the cable and through the receiver.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "device/DeviceResult.h"
#include "platform/Trace.h"
#include "sim/SimDeviceSet.h"

namespace q208 {
namespace {

using sim::SimDeviceKind;
using sim::SimDeviceSet;

struct PathCase {
    const char* name;
    bool receiver;
};

class CommandSetTest : public ::testing::TestWithParam<PathCase> {
protected:
    CommandSetTest() : bus_(std::make_shared<SimBus>()), devices_(bus_), channel_(bus_), commands_(channel_) {
        devices_.PlugAll({SimDeviceKind::Keyboard, SimDeviceKind::Receiver});
        OpenKeyboard();
    }

    void OpenKeyboard() {
        const bool receiver = GetParam().receiver;
        const auto path = devices_.CommandPath(receiver ? SimDeviceKind::Receiver : SimDeviceKind::Keyboard);
        ASSERT_FALSE(path.empty());
        ASSERT_TRUE(channel_.OpenPath(path, receiver ? CDeviceChannel::kLinkReceiver : CDeviceChannel::kLinkWired, 0));
    }
    uint32_t Seen(uint8_t code) { return devices_.Keyboard()->CommandsSeen(code); }
    bool Receiver() const { return GetParam().receiver; }

    std::shared_ptr<SimBus> bus_;
    SimDeviceSet devices_;
    CDeviceChannel channel_;
    CDeviceCommands commands_;
};

TEST_P(CommandSetTest, DeviceInfoTakesOneReportWiredAndTwoThroughTheReceiver) {
    std::array<uint8_t, CDeviceCommands::kDeviceInfoSize> info{};
    EXPECT_EQ(commands_.ReadDeviceInfo(info), kResultOk);
    EXPECT_EQ(Seen(0x03), Receiver() ? 2u : 1u);
    EXPECT_EQ(info[5], 104);
    EXPECT_EQ(std::vector<uint8_t>(info.begin(), info.end()), devices_.Keyboard()->Info());
}

TEST_P(CommandSetTest, KeyMapAndLedMapOfA104KeyKeyboard) {
    ASSERT_TRUE(channel_.SetDataSize(3 * 104));
    std::array<uint8_t, 512> keyMap{}, ledMap{};
    EXPECT_EQ(commands_.ReadKeyMap(keyMap), kResultOk);
    EXPECT_EQ(Seen(0x07), Receiver() ? 13u : 6u);
    const auto expected = devices_.Keyboard()->KeyMap();
    ASSERT_GE(expected.size(), 312u);
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 312, keyMap.begin()));

    EXPECT_EQ(commands_.ReadLedMap(ledMap), kResultOk);
    const auto leds = devices_.Keyboard()->LedMap();
    EXPECT_TRUE(std::equal(leds.begin(), leds.begin() + 104, ledMap.begin()));
    EXPECT_EQ(ledMap[104], 0) << "only data size / 3 bytes are read";
}

TEST_P(CommandSetTest, ConfigWrittenIsReadBackAtItsOffset) {
    std::vector<uint8_t> record(26);
    for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(i + 1);
    ASSERT_EQ(commands_.BeginConfig(), kResultOk);
    EXPECT_EQ(commands_.WriteConfig(record, 3 * 25), kResultOk);
    EXPECT_EQ(commands_.EndConfig(), kResultOk);
    std::vector<uint8_t> back(26);
    EXPECT_EQ(commands_.ReadConfig(back, 3 * 25), kResultOk);
    EXPECT_EQ(back, record);
}

TEST_P(CommandSetTest, KeyMapWriteWithBankOneSendsNothing) {
    ASSERT_TRUE(channel_.SetDataSize(312));
    std::vector<uint8_t> map(312, 0x20);
    EXPECT_EQ(commands_.WriteKeyMap(map, 1), kResultBadBank);
    EXPECT_EQ(Seen(0x09), 0u);
    EXPECT_EQ(commands_.WriteKeyMap(map, 0), kResultOk);
    EXPECT_EQ(devices_.Keyboard()->KeyMap()[0], 0x20);
}

TEST_P(CommandSetTest, StatusFEEndsAChunkedReadLeavingTheRestUnread) {
    ASSERT_TRUE(channel_.SetDataSize(312));
    devices_.Keyboard()->faults().statusBadChecksum = 1;
    std::array<uint8_t, 512> keyMap{};
    EXPECT_EQ(commands_.ReadKeyMap(keyMap), kResultStatusFE);
    EXPECT_EQ(Seen(0x07), 1u);
    devices_.Keyboard()->faults().statusRefused = 1;
    EXPECT_EQ(commands_.BeginConfig(), kResultStatusFF);
}

TEST_P(CommandSetTest, StatusBlockAndItsEchoRule) {
    devices_.Keyboard()->SetStatusBlock({87, 1, 0, 1, 5, 0});
    std::array<uint8_t, 6> status{};
    EXPECT_EQ(commands_.ReadStatus(status, 0), kResultOk);
    EXPECT_EQ(status[0], 87);
    EXPECT_EQ(status[1], 1);
    EXPECT_EQ(status[4], 5);

    // Two stale answers: the transaction ends on a foreign echo, which is no answer to the
    // status read; nothing is copied.
    devices_.Keyboard()->faults().staleAnswers = 2;
    devices_.Keyboard()->faults().staleAnswer = 1;
    std::array<uint8_t, 6> untouched{9, 9, 9, 9, 9, 9};
    EXPECT_EQ(commands_.ReadStatus(untouched, 0), kResultNoAnswer);
    EXPECT_EQ(untouched, (std::array<uint8_t, 6>{9, 9, 9, 9, 9, 9}));
    // One stale answer is skipped.
    devices_.Keyboard()->faults().staleAnswers = 1;
    devices_.Keyboard()->faults().staleAnswer = 1;
    EXPECT_EQ(commands_.ReadStatus(status, 0), kResultOk);
    EXPECT_EQ(status[0], 87);
}

// A chunked read either returns the keyboard's bytes or fails; a failed one holds only
// bytes of chunks that were answered, the rest of the buffer untouched.
class ChunkedReadCheck {
public:
    static constexpr uint8_t kUntouched = 0xEE;
    explicit ChunkedReadCheck(std::vector<uint8_t> expected) : expected_(std::move(expected)) { out_.fill(kUntouched); }
    std::span<uint8_t> Buffer() { return out_; }
    ::testing::AssertionResult Holds(int result) const {
        for (size_t i = 0; i < expected_.size(); ++i) {
            const bool right = out_[i] == expected_[i];
            if (result == kResultOk ? !right : !(right || out_[i] == kUntouched)) {
                return ::testing::AssertionFailure() << "byte " << i << " is " << int(out_[i]) << " after result "
                                                     << result << ", the keyboard holds " << int(expected_[i]);
            }
        }
        return ::testing::AssertionSuccess();
    }

private:
    std::vector<uint8_t> expected_;
    std::array<uint8_t, 512> out_{};
};

TEST_P(CommandSetTest, KeyMapReadWithStaleAnswersIsRightOrFailsButNeverWrong) {
    ASSERT_TRUE(channel_.SetDataSize(312));
    auto expected = devices_.Keyboard()->KeyMap();
    expected.resize(312);
    auto& faults = devices_.Keyboard()->faults();
    struct Case {
        int stale, hits;
        bool fails;
    };
    // One stale answer before the real one is skipped; two use up both reads.
    for (const Case c : {Case{1, sim::FaultCounter::kAlways, false}, Case{2, 1, true}, Case{2, 3, true},
                         Case{3, sim::FaultCounter::kAlways, true}}) {
        faults.staleAnswers = c.stale;
        faults.staleAnswer = c.hits;
        ChunkedReadCheck check(expected);
        const int result = commands_.ReadKeyMap(check.Buffer());
        faults.staleAnswer = 0;
        EXPECT_EQ(result, c.fails ? kResultNoAnswer : kResultOk) << c.stale << " stale, " << c.hits << " hits";
        EXPECT_TRUE(check.Holds(result)) << c.stale << " stale, " << c.hits << " hits";
    }
    // The read after a failed one is whole again.
    ChunkedReadCheck check(expected);
    EXPECT_EQ(commands_.ReadKeyMap(check.Buffer()), kResultOk);
    EXPECT_TRUE(check.Holds(kResultOk));
}

TEST_P(CommandSetTest, KeyEventsDuringAChunkedReadAreNotTakenForItsAnswers) {
    ASSERT_TRUE(channel_.SetDataSize(312));
    auto expected = devices_.Keyboard()->KeyMap();
    expected.resize(312);
    std::atomic<int> sent{0};
    // Typing while the host reads: a press and a release land between each request and its
    // answer, and a stale answer comes with every third chunk.
    channel_.SetTrafficObserver([&](bool isRequest, std::span<const uint8_t>) {
        if (!isRequest) return;
        const int chunk = sent++;
        devices_.Keyboard()->PressKey(static_cast<uint8_t>(chunk));
        devices_.Keyboard()->ReleaseKey(static_cast<uint8_t>(chunk));
        if (chunk % 3 == 0) devices_.Keyboard()->faults().staleAnswer = 1;
    });
    ChunkedReadCheck check(expected);
    EXPECT_EQ(commands_.ReadKeyMap(check.Buffer()), kResultOk);
    EXPECT_TRUE(check.Holds(kResultOk));
    EXPECT_EQ(sent.load(), Receiver() ? 13 : 6);

    // A burst of typing between two commands fills the command handle's ring; the next
    // command still gets its answer.
    channel_.SetTrafficObserver(nullptr);
    for (int i = 0; i < 100; ++i) devices_.Keyboard()->PressKey(static_cast<uint8_t>(i % 104));
    std::array<uint8_t, 6> status{};
    devices_.Keyboard()->SetStatusBlock({55, 0, 0, 0, 0, 0});
    EXPECT_EQ(commands_.ReadStatus(status, 0), kResultOk);
    EXPECT_EQ(status[0], 55);
}

TEST_P(CommandSetTest, QueryLinkReportsTheLinkedDevices) {
    std::array<uint8_t, 2> link{};
    EXPECT_TRUE(commands_.QueryLink(link));
    if (!Receiver()) {
        EXPECT_EQ(Seen(0xAA), 0u) << "the cable needs no question";
        return;
    }
    EXPECT_EQ(link[0], 0xFF);
    devices_.Receiver()->SetLinked(SimDeviceKind::Keyboard, false);
    devices_.Receiver()->SetLinked(SimDeviceKind::Mouse, false);
    std::array<uint8_t, 2> none{7, 7};
    EXPECT_FALSE(commands_.QueryLink(none));
    EXPECT_EQ(none[0], 7) << "the bytes are taken only when something is linked";
    EXPECT_EQ(commands_.BeginConfig(), kResultUnreachable);
    std::array<uint8_t, 342> frame{};
    EXPECT_EQ(commands_.StreamLightFrame(frame), kResultUnreachable);
}

TEST_P(CommandSetTest, LiveFrameAndCustomSlotReachTheirAreas) {
    std::array<uint8_t, 342> frame{};
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i * 7);
    EXPECT_EQ(commands_.StreamLightFrame(frame), kResultOk);
    EXPECT_EQ(devices_.Keyboard()->LightFrame(), std::vector<uint8_t>(frame.begin(), frame.end()));

    std::array<uint8_t, 64> custom{};
    custom.fill(0x33);
    EXPECT_EQ(commands_.WriteLightFrame(custom, 2, 512), kResultOk);
    EXPECT_EQ(devices_.Keyboard()->CustomSlot(2), std::vector<uint8_t>(custom.begin(), custom.end()));
}

TEST_P(CommandSetTest, UnplugDuringAChunkedWriteFailsAndThePathWorksAgainAfterReplug) {
    const SimDeviceKind plugged = Receiver() ? SimDeviceKind::Receiver : SimDeviceKind::Keyboard;
    devices_.Device(plugged)->faults().unplugDuringTransfer = 1;
    std::vector<uint8_t> macros(400, 0x11);
    EXPECT_LE(commands_.WriteMacroData(macros), kResultNoAnswer);
    EXPECT_FALSE(devices_.IsPlugged(plugged));
    EXPECT_NE(commands_.BeginConfig(), kResultOk);

    ASSERT_TRUE(devices_.Plug(plugged));
    channel_.CloseAll();
    OpenKeyboard();
    EXPECT_EQ(commands_.WriteMacroData(macros), kResultOk);
    EXPECT_EQ(devices_.Keyboard()->MacroData()[399], 0x11);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, CommandSetTest,
                         ::testing::Values(PathCase{"Wired", false}, PathCase{"Receiver", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CommandReport, BeginConfigChecksumIsOne) {
    const Report r = BuildCommandReport(Command::BeginConfig);
    EXPECT_EQ(r[0], 0x04);
    EXPECT_EQ(r[1], 0x01);
    EXPECT_EQ(r[2], 0x00);
    EXPECT_EQ(r[3], 0x01);
}

TEST(CommandReport, ChecksumCoversCommandLengthOffsetAndPayload) {
    const uint8_t payload[56] = {0xFF, 0xFF, 0xFF};
    const Report r = BuildCommandReport(Command::WriteConfig, 56, 0x1234, payload);
    const unsigned expected = 0x06 + 56 + 0x34 + 0x12 + 3 * 0xFF;
    EXPECT_EQ(r[1] | (r[2] << 8), expected);
}

TEST(MacroBlock, FixedChunksOnTheCableAndReceiverChunksThroughTheReceiver) {
    auto bus = std::make_shared<SimBus>();
    SimDeviceSet devices(bus);
    devices.PlugAll({SimDeviceKind::Mouse, SimDeviceKind::Receiver});
    std::vector<uint8_t> block(112);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i + 1);

    CDeviceChannel wired(bus);
    ASSERT_TRUE(wired.OpenPath(devices.CommandPath(SimDeviceKind::Mouse), CDeviceChannel::kLinkWired, 0));
    EXPECT_EQ(CDeviceCommands(wired).WriteMacroBlock(block), kResultOk);
    EXPECT_EQ(devices.Mouse()->CommandsSeen(0x17), 2u);

    CDeviceChannel viaReceiver(bus);
    ASSERT_TRUE(viaReceiver.OpenPath(devices.CommandPath(SimDeviceKind::Receiver), CDeviceChannel::kLinkReceiver, 2));
    std::reverse(block.begin(), block.end());
    EXPECT_EQ(CDeviceCommands(viaReceiver).WriteMacroBlock(block), kResultOk);
    EXPECT_EQ(devices.Mouse()->CommandsSeen(0x17), 2u + 5u);
    const auto stored = devices.Mouse()->MacroBlock();
    EXPECT_TRUE(std::equal(block.begin(), block.end(), stored.begin())) << "no byte lost to the target byte";
}

std::atomic<int> gDroppedTraces{0};
void CountDrops(const std::string& line) {
    if (line == "放弃灯光数据") ++gDroppedTraces;
}

TEST(Concurrency, CommandsFromTwoThreadsWhileAThirdStreamsFrames) {
    auto bus = std::make_shared<SimBus>();
    SimDeviceSet devices(bus);
    devices.PlugAll({SimDeviceKind::Keyboard});
    CDeviceChannel channel(bus);
    ASSERT_TRUE(channel.OpenPath(devices.CommandPath(SimDeviceKind::Keyboard), CDeviceChannel::kLinkWired, 0));
    SetTraceSink(&CountDrops);

    std::atomic<int> failures{0};
    auto configure = [&](uint16_t offset) {
        CDeviceCommands commands(channel);
        std::vector<uint8_t> record(26, static_cast<uint8_t>(offset));
        for (int i = 0; i < 100; ++i) {
            std::vector<uint8_t> back(26);
            if (commands.WriteConfig(record, offset) != kResultOk || commands.ReadConfig(back, offset) != kResultOk ||
                back != record) {
                ++failures;
            }
        }
    };
    std::atomic<bool> streaming{true};
    std::atomic<int> frames{0};
    std::thread lights([&] {
        CDeviceCommands commands(channel);
        std::array<uint8_t, 342> frame{};
        // At least some frames even when the command threads finish before this one starts.
        while (streaming || frames < 50) {
            if (commands.StreamLightFrame(frame) != kResultOk) ++failures;
            ++frames;
        }
    });
    std::thread a(configure, 100), b(configure, 200);
    a.join();
    b.join();
    streaming = false;
    lights.join();
    SetTraceSink(nullptr);
    EXPECT_EQ(failures.load(), 0);
    EXPECT_GT(frames.load(), 0);
    // Every chunk either reached the keyboard or was dropped with its trace.
    const uint32_t chunks = devices.Keyboard()->CommandsSeen(0x12) + static_cast<uint32_t>(gDroppedTraces.load());
    EXPECT_EQ(chunks, static_cast<uint32_t>(frames.load()) * 7u);
}

}  // namespace
}  // namespace q208
