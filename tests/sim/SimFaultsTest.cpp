#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "sim/SimKeyboard.h"
#include "sim/SimMouse.h"
#include "sim/SimReceiver.h"
#include "sim/TestHost.h"

namespace q208::sim {
namespace {

using test::TestHost;

TEST(SimFaultsTest, StaleAnswerComesFirstAndTheHostStillFindsItsOwn) {
    SimKeyboard keyboard;
    TestHost host(keyboard);
    keyboard.faults().staleAnswer = 1;
    const auto answers = keyboard.HandleOutputReport(host.Build(Command::ReadConfig, 0, 1));
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_NE(answers[0].report[ReportByte::Command], Command::ReadConfig);
    EXPECT_NE(answers[0].report[ReportByte::Command], kUnreachable);
    EXPECT_EQ(answers[1].report[ReportByte::Command], Command::ReadConfig);
    EXPECT_EQ(host.Read(Command::ReadConfig, 0, 1), std::vector<uint8_t>{0});  // one-shot: used up

    // Two stale answers: the host gives up matching after two reads and keeps the last.
    keyboard.faults().staleAnswer = 1;
    keyboard.faults().staleAnswers = 2;
    const auto outcome = host.Transact(host.Build(Command::ReadStatus, 0, 6));
    EXPECT_EQ(outcome.result, 1);
    EXPECT_NE(outcome.answer[ReportByte::Command], Command::ReadStatus);
}

TEST(SimFaultsTest, NoAnswerCountsDownOrPersists) {
    SimKeyboard keyboard;
    TestHost host(keyboard);
    keyboard.faults().noAnswer = 2;
    EXPECT_EQ(host.Transact(host.Build(Command::BeginConfig, 0, 0)).result, 0);
    EXPECT_EQ(host.Transact(host.Build(Command::BeginConfig, 0, 0)).result, 0);
    EXPECT_EQ(host.Send(Command::BeginConfig), kStatusOk);
    EXPECT_EQ(keyboard.CommandsSeen(Command::BeginConfig), 3u);

    keyboard.faults().noAnswer = FaultCounter::kAlways;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(host.Transact(host.Build(Command::EndConfig, 0, 0)).result, 0);
    }
    keyboard.faults().noAnswer = 0;
    EXPECT_EQ(host.Send(Command::EndConfig), kStatusOk);
}

TEST(SimFaultsTest, InjectedStatusesRefuseTheCommandWithoutCarryingItOut) {
    SimKeyboard keyboard;
    TestHost host(keyboard);
    const std::vector<uint8_t> before = keyboard.Config();
    const std::vector<uint8_t> data(26, 0x99);

    keyboard.faults().statusRefused = 1;
    EXPECT_EQ(host.Write(Command::WriteConfig, 0, data), kStatusRefused);
    keyboard.faults().statusBadChecksum = 1;
    EXPECT_EQ(host.Write(Command::WriteConfig, 0, data), kStatusBadChecksum);
    EXPECT_EQ(keyboard.Config(), before);

    // A chunked read stops at the refused chunk.
    keyboard.faults().statusBadChecksum = 1;
    EXPECT_FALSE(host.Read(Command::ReadKeyMap, 0, 312).has_value());
    EXPECT_EQ(keyboard.CommandsSeen(Command::ReadKeyMap), 1u);
}

TEST(SimFaultsTest, SlowAnswersCarryTheirDelay) {
    SimKeyboard keyboard;
    TestHost host(keyboard);
    keyboard.faults().slowAnswer = 1;
    keyboard.faults().slowAnswerMs = 700;
    keyboard.faults().staleAnswer = 1;
    const auto slow = keyboard.HandleOutputReport(host.Build(Command::BeginConfig, 0, 0));
    ASSERT_EQ(slow.size(), 2u);
    EXPECT_EQ(slow[0].delayMs, 700);
    EXPECT_EQ(slow[1].delayMs, 700);
    EXPECT_EQ(keyboard.HandleOutputReport(host.Build(Command::BeginConfig, 0, 0))[0].delayMs, 0);
}

TEST(SimFaultsTest, UnplugDuringTransferAsksTheGlueAndSwallowsTheRequest) {
    SimKeyboard keyboard;
    TestHost host(keyboard);
    std::atomic<int> unplugs{0};
    keyboard.SetUnplugHandler([&unplugs] { ++unplugs; });
    keyboard.faults().unplugDuringTransfer = 1;
    const std::vector<uint8_t> before = keyboard.Config();
    const std::vector<uint8_t> data(26, 0x99);

    EXPECT_EQ(host.Write(Command::WriteConfig, 0, data), 0xFD);  // nothing came back
    EXPECT_EQ(unplugs.load(), 1);
    EXPECT_TRUE(keyboard.UnplugRequested());
    EXPECT_EQ(keyboard.Config(), before);
    keyboard.ClearUnplugRequest();
    EXPECT_FALSE(keyboard.UnplugRequested());
}

TEST(SimFaultsTest, ReceiverFaultsHitBeforeRoutingAndLinkLossPasses) {
    auto keyboard = std::make_shared<SimKeyboard>();
    SimReceiver receiver(keyboard, std::make_shared<SimMouse>());
    TestHost host(receiver, kTargetKeyboard);

    receiver.faults().noAnswer = 1;
    EXPECT_EQ(host.Transact(host.Build(Command::BeginConfig, 0, 0)).result, 0);
    EXPECT_EQ(keyboard->CommandsSeen(Command::BeginConfig), 0u);

    receiver.faults().linkLoss = 2;
    const auto query = host.Transact(host.Build(Command::QueryLink, 0, 0));
    EXPECT_EQ(query.answer[kKeyboardLinkByte], kNotLinked);
    EXPECT_EQ(query.answer[kMouseLinkByte], kNotLinked);
    EXPECT_EQ(host.Transact(host.Build(Command::BeginConfig, 0, 0)).result, -101);
    EXPECT_EQ(host.Send(Command::BeginConfig), kStatusOk);  // the link is back

    // A device's own faults still apply behind the receiver.
    keyboard->faults().statusRefused = 1;
    EXPECT_EQ(host.Send(Command::EndConfig), kStatusRefused);
}

}  // namespace
}  // namespace q208::sim
