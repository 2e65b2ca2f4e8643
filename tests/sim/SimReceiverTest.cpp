#include <gtest/gtest.h>

#include <memory>

#include "sim/SimKeyboard.h"
#include "sim/SimMouse.h"
#include "sim/SimReceiver.h"
#include "sim/TestHost.h"

namespace q208::sim {
namespace {

using test::TestHost;

struct ReceiverTest : ::testing::Test {
    std::shared_ptr<SimKeyboard> keyboard = std::make_shared<SimKeyboard>();
    std::shared_ptr<SimMouse> mouse = std::make_shared<SimMouse>();
    SimReceiver receiver{keyboard, mouse};
    TestHost toKeyboard{receiver, kTargetKeyboard};
    TestHost toMouse{receiver, kTargetMouse};

    std::pair<uint8_t, uint8_t> LinkStates() {
        const auto outcome = toKeyboard.Transact(toKeyboard.Build(Command::QueryLink, 0, 0));
        EXPECT_EQ(outcome.answer[ReportByte::Command], Command::QueryLink);
        return {outcome.answer[kKeyboardLinkByte], outcome.answer[kMouseLinkByte]};
    }
};

TEST_F(ReceiverTest, RoutesByTargetByte) {
    const auto keyboardInfo = toKeyboard.Read(Command::ReadDeviceInfo, 0, 34);
    const auto mouseInfo = toMouse.Read(Command::ReadDeviceInfo, 0, 34);
    ASSERT_TRUE(keyboardInfo && mouseInfo);
    EXPECT_EQ((*keyboardInfo)[5], 104);
    EXPECT_EQ((*mouseInfo)[5], SimMouse::kButtonCount);
    EXPECT_EQ(keyboard->CommandsSeen(Command::ReadDeviceInfo), 2u);
    EXPECT_EQ(mouse->CommandsSeen(Command::ReadDeviceInfo), 2u);
    EXPECT_EQ(receiver.CommandsSeen(Command::ReadDeviceInfo), 4u);
}

TEST_F(ReceiverTest, QueryLinkIsAnsweredByTheReceiverItself) {
    EXPECT_EQ(LinkStates(), std::make_pair(kLinked, kLinked));
    receiver.SetLinked(SimDeviceKind::Mouse, false);
    EXPECT_EQ(LinkStates(), std::make_pair(kLinked, kNotLinked));
    receiver.SetLinked(SimDeviceKind::Keyboard, false);
    receiver.SetLinked(SimDeviceKind::Mouse, true);
    EXPECT_EQ(LinkStates(), std::make_pair(kNotLinked, kLinked));
    EXPECT_EQ(keyboard->CommandsSeen(Command::QueryLink), 0u);
    EXPECT_EQ(mouse->CommandsSeen(Command::QueryLink), 0u);

    SimReceiver lonely(nullptr, nullptr);
    lonely.SetLinked(SimDeviceKind::Keyboard, true);  // nothing paired: stays unlinked
    TestHost host(lonely, kTargetKeyboard);
    const auto outcome = host.Transact(host.Build(Command::QueryLink, 0, 0));
    EXPECT_EQ(outcome.answer[kKeyboardLinkByte], kNotLinked);
    EXPECT_EQ(outcome.answer[kMouseLinkByte], kNotLinked);
}

TEST_F(ReceiverTest, UnlinkedOrUnknownTargetsGetTheUnreachableAnswer) {
    receiver.SetLinked(SimDeviceKind::Keyboard, false);
    const auto command = toKeyboard.Transact(toKeyboard.Build(Command::ReadConfig, 0, 1));
    EXPECT_EQ(command.result, -101);
    EXPECT_EQ(command.answer[ReportByte::Command], kUnreachable);

    const std::vector<uint8_t> frame(24, 0x10);
    const auto stream = toKeyboard.Transact(toKeyboard.Build(Command::StreamLightFrame, 0, 24, frame));
    EXPECT_EQ(stream.result, -101);
    EXPECT_EQ(stream.answer[ReportByte::Command], kUnreachableFast);
    EXPECT_EQ(keyboard->CommandsSeen(Command::ReadConfig), 0u);
    EXPECT_EQ(keyboard->LightFrame(), std::vector<uint8_t>(SimKeyboard::kLiveFrameSize, 0));

    TestHost toNowhere(receiver, 1);
    EXPECT_EQ(toNowhere.Transact(toNowhere.Build(Command::BeginConfig, 0, 0)).result, -101);

    receiver.SetLinked(SimDeviceKind::Keyboard, true);
    EXPECT_EQ(toKeyboard.Read(Command::ReadConfig, 0, 1), std::vector<uint8_t>{0});
}

TEST_F(ReceiverTest, EventsOfLinkedDevicesComeOutOfTheReceiver) {
    int notified = 0;
    receiver.SetReportsPendingCallback([&notified] { ++notified; });
    keyboard->PressKey(7);
    mouse->EmitEvent(0x0401);
    EXPECT_TRUE(keyboard->TakeSpontaneousReports().empty());
    EXPECT_EQ(receiver.TakeSpontaneousReports().size(), 2u);
    EXPECT_EQ(notified, 2);

    receiver.SetLinked(SimDeviceKind::Keyboard, false);
    keyboard->PressKey(7);
    EXPECT_TRUE(receiver.TakeSpontaneousReports().empty());
    EXPECT_EQ(keyboard->TakeSpontaneousReports().size(), 1u);
}

TEST(SimReceiverLifetime, DevicesOutliveTheirReceiver) {
    auto keyboard = std::make_shared<SimKeyboard>();
    {
        SimReceiver receiver(keyboard, nullptr);
    }
    keyboard->PressKey(1);  // must not reach the destroyed receiver
    EXPECT_EQ(keyboard->TakeSpontaneousReports().size(), 1u);
}

}  // namespace
}  // namespace q208::sim
