#include "device/CDeviceChannel.h"

#include <gtest/gtest.h>

#include "ScriptedDevice.h"
#include "device/CDeviceCommands.h"
#include "device/CommandReport.h"
#include "device/DeviceResult.h"

namespace q208 {
namespace {

using test::ScriptedDevice;

// A key event of the keyboard: the event code in bytes 1 … 2, byte 3 (the echo) 0.
Report KeyEvent(uint16_t code) {
    Report r{};
    r[0] = kCommandReportId;
    r[1] = static_cast<uint8_t>(code & 0xFF);
    r[2] = static_cast<uint8_t>(code >> 8);
    return r;
}

class ChannelTest : public ::testing::TestWithParam<int> {
protected:
    ChannelTest() : bus_(std::make_shared<SimBus>()), device_(bus_), channel_(bus_) {}

    bool Receiver() const { return GetParam() == CDeviceChannel::kLinkReceiver; }
    void Open() { ASSERT_TRUE(channel_.OpenPath(device_.Path(), GetParam(), 2)); }
    int Send(const Report& request, Report& answer, bool fast = false) {
        uint32_t bytes = 0;
        return fast ? channel_.TransactFast(request.data(), request.size(), answer.data(), answer.size(), &bytes)
                    : channel_.Transact(request.data(), request.size(), answer.data(), answer.size(), &bytes);
    }

    std::shared_ptr<SimBus> bus_;
    ScriptedDevice device_;
    CDeviceChannel channel_;
};

TEST_P(ChannelTest, ShortRequestIsPaddedToAFullReport) {
    Open();
    device_.Respond([](const Report& r) { return std::vector<Report>{ScriptedDevice::Answer(r)}; });
    std::vector<uint8_t> request(10, 0x11);
    request[0] = kCommandReportId;
    Report answer{};
    uint32_t bytes = 0;
    EXPECT_EQ(channel_.Transact(request.data(), request.size(), answer.data(), answer.size(), &bytes), kResultOk);
    EXPECT_EQ(bytes, kReportSize);
    ASSERT_EQ(device_.RequestCount(), 1u);
    const Report sent = device_.Requests()[0];
    for (size_t i = 1; i < 10; ++i) EXPECT_EQ(sent[i], 0x11);
    for (size_t i = 10; i < kReportSize; ++i) {
        const uint8_t expected = (Receiver() && i == report::kTarget) ? 2 : 0;
        EXPECT_EQ(sent[i], expected) << "byte " << i;
    }
}

TEST_P(ChannelTest, StaleAnswerIsSkippedAndTheMatchingOneTaken) {
    Open();
    device_.Respond([](const Report& r) {
        return std::vector<Report>{ScriptedDevice::WithEcho(0x07), ScriptedDevice::Answer(r, 0, {0x42})};
    });
    Report answer{};
    EXPECT_EQ(Send(BuildCommandReport(Command::ReadConfig, 1), answer), kResultOk);
    EXPECT_EQ(answer[report::kCommand], 0x05);
    EXPECT_EQ(answer[report::kPayload], 0x42);
}

TEST_P(ChannelTest, TwoWrongAnswersGiveSuccessWithTheSecondInTheBuffer) {
    Open();
    device_.Respond([](const Report&) {
        return std::vector<Report>{ScriptedDevice::WithEcho(0x07), ScriptedDevice::WithEcho(0x09)};
    });
    Report answer{};
    EXPECT_EQ(Send(BuildCommandReport(Command::ReadConfig, 1), answer), kResultOk);
    EXPECT_EQ(answer[report::kCommand], 0x09);
}

TEST_P(ChannelTest, SilentDeviceGivesNoAnswer) {
    Open();
    Report answer{};
    // The wired path waits one second, the receiver path five; the fast path half a second.
    EXPECT_EQ(Send(BuildCommandReport(Command::BeginConfig), answer, /*fast=*/true), kResultNoAnswer);
    EXPECT_FALSE(channel_.IsBusy());
}

TEST_P(ChannelTest, UnreachableEchoOnlyCountsOnTheReceiverPath) {
    Open();
    device_.Respond([](const Report&) { return std::vector<Report>{ScriptedDevice::WithEcho(0xFF)}; });
    Report answer{};
    if (Receiver()) {
        EXPECT_EQ(Send(BuildCommandReport(Command::BeginConfig), answer), kResultUnreachable);
        EXPECT_EQ(device_.RequestCount(), 1u);
    } else {
        // On the cable 0xFF is just another wrong echo: the second read times out.
        device_.Respond([](const Report&) {
            return std::vector<Report>{ScriptedDevice::WithEcho(0xFF), ScriptedDevice::WithEcho(0xFF)};
        });
        EXPECT_EQ(Send(BuildCommandReport(Command::BeginConfig), answer), kResultOk);
    }
}

TEST_P(ChannelTest, FastPathUsesItsOwnUnreachableEcho) {
    Open();
    device_.Respond([](const Report&) { return std::vector<Report>{ScriptedDevice::WithEcho(0xAA)}; });
    Report answer{};
    if (Receiver()) {
        EXPECT_EQ(Send(BuildCommandReport(Command::StreamLightFrame), answer, true), kResultUnreachable);
        // 0xAA through the normal transaction is a wrong echo, not unreachable.
        device_.Respond([](const Report&) {
            return std::vector<Report>{ScriptedDevice::WithEcho(0xAA), ScriptedDevice::WithEcho(0xAA)};
        });
        EXPECT_EQ(Send(BuildCommandReport(Command::BeginConfig), answer), kResultOk);
    }
}

TEST_P(ChannelTest, QueuedInputIsDroppedBeforeEveryWriteOnBothPathsAndTheFastPath) {
    Open();
    device_.Respond([](const Report& r) { return std::vector<Report>{ScriptedDevice::Answer(r, 0, {0x99})}; });
    for (bool fast : {false, true}) {
        // A late answer of the same command would otherwise be taken for this one's.
        bus_->QueueInput(device_.Id(), ScriptedDevice::Answer(BuildCommandReport(Command::ReadConfig, 1), 0, {0x11}));
        bus_->QueueInput(device_.Id(), ScriptedDevice::WithEcho(0x05));
        Report answer{};
        EXPECT_EQ(Send(BuildCommandReport(Command::ReadConfig, 1), answer, fast), kResultOk) << fast;
        EXPECT_EQ(answer[report::kPayload], 0x99) << fast;
    }
}

TEST_P(ChannelTest, AnswerBehindABurstOfTypingThatFilledTheRingIsStillRead) {
    Open();
    // Key events the handle's ring held before the request: without the drain the ring is
    // full and drops the answer.
    for (size_t i = 0; i < SimBus::kHandleRingReports + 6; ++i) bus_->QueueInput(device_.Id(), KeyEvent(0x0510));
    device_.Respond([](const Report& r) { return std::vector<Report>{ScriptedDevice::Answer(r, 0, {0x42})}; });
    Report answer{};
    EXPECT_EQ(Send(BuildCommandReport(Command::ReadConfig, 1), answer), kResultOk);
    EXPECT_EQ(answer[report::kPayload], 0x42);
}

TEST_P(ChannelTest, EventReportsBetweenRequestAndAnswerDoNotUseUpTheTwoReads) {
    Open();
    device_.Respond([](const Report& r) {
        return std::vector<Report>{KeyEvent(0x0510), ScriptedDevice::WithEcho(0x07), KeyEvent(0x0610),
                                   KeyEvent(0x0511), ScriptedDevice::Answer(r, 0, {0x42})};
    });
    Report answer{};
    EXPECT_EQ(Send(BuildCommandReport(Command::ReadConfig, 1), answer), kResultOk);
    EXPECT_EQ(answer[report::kCommand], 0x05);
    EXPECT_EQ(answer[report::kPayload], 0x42);
}

TEST_P(ChannelTest, EventsAloneEndInNoAnswerWithinTheReadTimeOut) {
    Open();
    device_.Respond([](const Report&) { return std::vector<Report>(5, KeyEvent(0x0510)); });
    Report answer{};
    EXPECT_EQ(Send(BuildCommandReport(Command::StreamLightFrame), answer, /*fast=*/true), kResultNoAnswer);
}

TEST_P(ChannelTest, UnpluggedDeviceFailsTheWrite) {
    Open();
    bus_->Unplug(device_.Id());
    Report answer{};
    EXPECT_EQ(Send(BuildCommandReport(Command::BeginConfig), answer), kResultWriteFailed);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, ChannelTest,
                         ::testing::Values(CDeviceChannel::kLinkWired, CDeviceChannel::kLinkReceiver),
                         [](const auto& info) { return info.param == CDeviceChannel::kLinkWired ? "Wired" : "Receiver"; });

TEST(Channel, NeverOpenedChannelTouchesNothing) {
    auto bus = std::make_shared<SimBus>();
    ScriptedDevice device(bus);
    CDeviceChannel channel(bus);
    Report request = BuildCommandReport(Command::BeginConfig), answer{};
    uint32_t bytes = 7;
    EXPECT_EQ(channel.Transact(request.data(), request.size(), answer.data(), answer.size(), &bytes), kResultNoAnswer);
    EXPECT_EQ(bytes, 0u);
    EXPECT_EQ(device.RequestCount(), 0u);
}

TEST(Commands, TwoForeignAnswersAreNoAnswerAndTheirBytesAreNotTaken) {
    auto bus = std::make_shared<SimBus>();
    ScriptedDevice device(bus);
    CDeviceChannel channel(bus);
    ASSERT_TRUE(channel.OpenPath(device.Path(), CDeviceChannel::kLinkReceiver, 0));
    CDeviceCommands commands(channel);
    // Left-over status answers whose data bytes look like two linked devices.
    device.Respond([](const Report&) {
        Report status = ScriptedDevice::WithEcho(0x1A);
        status[report::kPayload] = status[report::kPayload + 1] = kLinkUp;
        return std::vector<Report>{status, status};
    });
    std::array<uint8_t, 2> link{7, 7};
    EXPECT_FALSE(commands.QueryLink(link));
    EXPECT_EQ(link, (std::array<uint8_t, 2>{7, 7}));
    EXPECT_EQ(commands.BeginConfig(), kResultNoAnswer);
    std::array<uint8_t, 34> info{};
    EXPECT_EQ(commands.ReadDeviceInfo(info), kResultNoAnswer);
    EXPECT_EQ(info[0], 0) << "nothing copied";
}

TEST(Channel, DataSizeIsBoundedBy512) {
    CDeviceChannel channel(std::make_shared<SimBus>());
    EXPECT_EQ(channel.DataSize(), 512);
    EXPECT_TRUE(channel.SetDataSize(312));
    EXPECT_FALSE(channel.SetDataSize(513));
    EXPECT_EQ(channel.DataSize(), 312);
    EXPECT_TRUE(channel.SetDataSize(512));
    EXPECT_EQ(channel.DataSize(), 512);
    // Taken as 16 bits: 65536 + 10 is 10.
    EXPECT_TRUE(channel.SetDataSize(65546));
    EXPECT_EQ(channel.DataSize(), 10);
}

TEST(Channel, LinkTypeChoosesPathAndChunkSize) {
    CDeviceChannel channel(std::make_shared<SimBus>());
    EXPECT_EQ(channel.ChunkSize(), 24);
    channel.SetLinkType(CDeviceChannel::kLinkWired);
    EXPECT_FALSE(channel.ViaReceiver());
    EXPECT_EQ(channel.ChunkSize(), 56);
    channel.SetLinkType(CDeviceChannel::kLinkReceiver);
    EXPECT_TRUE(channel.ViaReceiver());
    EXPECT_EQ(channel.ChunkSize(), 24);
    channel.SetLinkType(7);
    EXPECT_FALSE(channel.ViaReceiver());
}

}  // namespace
}  // namespace q208
