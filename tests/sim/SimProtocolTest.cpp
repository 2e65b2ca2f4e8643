#include <gtest/gtest.h>

#include <memory>

#include "sim/SimKeyboard.h"
#include "sim/SimMouse.h"
#include "sim/SimReceiver.h"
#include "sim/TestHost.h"

namespace q208::sim {
namespace {

using test::TestHost;

TEST(SimProtocolTest, ChecksumCoversBytes3To63) {
    SimKeyboard keyboard;
    TestHost host(keyboard);
    const Report begin = host.Build(Command::BeginConfig, 0, 0);
    EXPECT_EQ(begin[ReportByte::ChecksumLow], 0x01);
    EXPECT_EQ(begin[ReportByte::ChecksumHigh], 0x00);

    Report full{};
    full.fill(0xFF);
    full[ReportByte::Id] = kVendorReportId;
    EXPECT_EQ(ReportChecksum(full), static_cast<uint16_t>(61 * 0xFF));  // no wrap below 0x10000
    StoreChecksum(full);
    EXPECT_TRUE(ChecksumMatches(full));
}

TEST(SimProtocolTest, WiredDeviceRejectsAnyAlteredByteIncludingByte32) {
    SimKeyboard keyboard;
    TestHost host(keyboard);
    const std::vector<uint8_t> before = keyboard.Config();
    const std::vector<uint8_t> payload(26, 0x5A);
    Report request = host.Build(Command::WriteConfig, 0, payload.size(), payload);
    request[ReportByte::Target] = 2;  // a target byte on the wired path is an altered byte

    const auto outcome = host.Transact(request);
    ASSERT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.answer[ReportByte::Command], Command::WriteConfig);
    EXPECT_EQ(outcome.answer[ReportByte::Status], kStatusBadChecksum);
    EXPECT_EQ(keyboard.Config(), before);
    EXPECT_EQ(keyboard.BadChecksums(), 1u);
}

TEST(SimProtocolTest, ReceiverLeavesTheTargetByteOutOfTheChecksum) {
    auto keyboard = std::make_shared<SimKeyboard>();
    auto mouse = std::make_shared<SimMouse>();
    SimReceiver receiver(keyboard, mouse);
    TestHost toMouse(receiver, kTargetMouse);

    // Built as the host does: checksum first, then target 2 into byte 32.
    EXPECT_EQ(toMouse.Send(Command::BeginConfig), kStatusOk);
    EXPECT_EQ(toMouse.Send(Command::QueryLink), kStatusOk);

    // A sender that checksummed the target byte is caught.
    Report wrong{};
    wrong[ReportByte::Id] = kVendorReportId;
    wrong[ReportByte::Command] = Command::BeginConfig;
    wrong[ReportByte::Target] = kTargetMouse;
    StoreChecksum(wrong);
    const auto outcome = toMouse.Transact(wrong);
    ASSERT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.answer[ReportByte::Status], kStatusBadChecksum);
    EXPECT_EQ(mouse->BadChecksums(), 1u);
}

TEST(SimProtocolTest, AnswersEchoCommandLengthAndOffsetAndCarryAValidChecksum) {
    SimKeyboard keyboard;
    TestHost host(keyboard);
    const auto outcome = host.Transact(host.Build(Command::ReadConfig, 25, 26));
    ASSERT_EQ(outcome.result, 1);
    const Report& answer = outcome.answer;
    EXPECT_EQ(answer[ReportByte::Id], kVendorReportId);
    EXPECT_EQ(answer[ReportByte::Command], Command::ReadConfig);
    EXPECT_EQ(answer[ReportByte::Length], 26);
    EXPECT_EQ(ReportOffset(answer), 25);
    EXPECT_EQ(answer[ReportByte::Status], kStatusOk);
    EXPECT_TRUE(ChecksumMatches(answer));
}

TEST(SimProtocolTest, ReportsThatAreNotCommandsGetNoAnswer) {
    SimKeyboard keyboard;
    TestHost host(keyboard);
    Report otherId = host.Build(Command::BeginConfig, 0, 0);
    otherId[ReportByte::Id] = 0x03;
    EXPECT_TRUE(keyboard.HandleOutputReport(otherId).empty());

    const Report good = host.Build(Command::BeginConfig, 0, 0);
    EXPECT_TRUE(keyboard.HandleOutputReport(std::span(good).first(10)).empty());
    EXPECT_FALSE(keyboard.InConfigSession());
}

TEST(SimProtocolTest, UnknownCommandsAndMissingAreasAreRefused) {
    SimMouse mouse;  // has no LED map and no live frame
    TestHost host(mouse);
    EXPECT_EQ(host.Send(0x42), kStatusRefused);
    EXPECT_FALSE(host.Read(Command::ReadLedMap, 0, 8).has_value());
    EXPECT_EQ(host.LastStatus(), kStatusRefused);
    EXPECT_EQ(mouse.CommandsSeen(0x42), 1u);
}

TEST(SimProtocolTest, OutOfRangeRequestsAreRefusedWithoutTouchingMemory) {
    SimKeyboard keyboard;
    TestHost host(keyboard);
    const std::vector<uint8_t> config = keyboard.Config();
    const std::vector<uint8_t> keyMap = keyboard.KeyMap();
    const std::vector<uint8_t> data(56, 0xEE);

    // Straddling the end, starting past it, at the 16-bit limit, and a chunk over 56 bytes.
    EXPECT_EQ(host.Write(Command::WriteConfig, static_cast<uint16_t>(config.size() - 10), data), kStatusRefused);
    EXPECT_EQ(host.Write(Command::WriteKeyMap, static_cast<uint16_t>(keyMap.size()), std::span(data).first(1)),
              kStatusRefused);
    EXPECT_EQ(host.Write(Command::WriteKeyMap, 0xFFFF, std::span(data).first(3)), kStatusRefused);
    Report tooLong = host.Build(Command::ReadConfig, 0, 57);
    StoreChecksum(tooLong);
    EXPECT_EQ(host.Transact(tooLong).answer[ReportByte::Status], kStatusRefused);
    EXPECT_FALSE(host.Read(Command::ReadDeviceInfo, 30, 8).has_value());

    EXPECT_EQ(keyboard.Config(), config);
    EXPECT_EQ(keyboard.KeyMap(), keyMap);
    // The last byte of an area is still reachable.
    EXPECT_EQ(host.Write(Command::WriteConfig, static_cast<uint16_t>(config.size() - 1), std::span(data).first(1)),
              kStatusOk);
    EXPECT_EQ(keyboard.Config().back(), 0xEE);
}

}  // namespace
}  // namespace q208::sim
