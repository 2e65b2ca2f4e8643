#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "sim/SimKeyboard.h"
#include "sim/SimReceiver.h"
#include "sim/TestHost.h"

namespace q208::sim {
namespace {

using test::Pattern;
using test::TestHost;

constexpr std::size_t kKeyMapBytes = kSimKeyboardKeyCount * 3;

struct KeyboardPaths : ::testing::Test {
    std::shared_ptr<SimKeyboard> keyboard = std::make_shared<SimKeyboard>();
    SimReceiver receiver{keyboard, nullptr};
    TestHost wired{*keyboard};
    TestHost wireless{receiver, kTargetKeyboard};
};

TEST_F(KeyboardPaths, InformationBlockReadsAlikeInOneWiredOrTwoReceiverReports) {
    const auto viaCable = wired.Read(Command::ReadDeviceInfo, 0, 34);
    const auto viaReceiver = wireless.Read(Command::ReadDeviceInfo, 0, 34);
    ASSERT_TRUE(viaCable && viaReceiver);
    EXPECT_EQ(wired.ReportsSent(), 1u);
    EXPECT_EQ(wireless.ReportsSent(), 2u);
    EXPECT_EQ(*viaCable, *viaReceiver);
    EXPECT_EQ((*viaCable)[5], 104);
    EXPECT_EQ((*viaCable)[6], SimKeyboard::kMacroUnits);
}

TEST_F(KeyboardPaths, KeyMapHoldsTheKeyTableCodesInSixWiredOrThirteenReceiverReports) {
    const auto viaCable = wired.Read(Command::ReadKeyMap, 0, kKeyMapBytes);
    const auto viaReceiver = wireless.Read(Command::ReadKeyMap, 0, kKeyMapBytes);
    ASSERT_TRUE(viaCable && viaReceiver);
    EXPECT_EQ(wired.ReportsSent(), 6u);
    EXPECT_EQ(wireless.ReportsSent(), 13u);
    EXPECT_EQ(*viaCable, *viaReceiver);

    // Known rows of the host's key table, found by code the way the host maps its rows.
    auto codeOfRow = [&](uint8_t row) -> std::vector<uint8_t> {
        const auto keys = SimKeyboardKeys();
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (keys[k].tableRow == row) {
                return {viaCable->begin() + 3 * k, viaCable->begin() + 3 * k + 3};
            }
        }
        return {};
    };
    EXPECT_EQ(codeOfRow(0), (std::vector<uint8_t>{0x20, 0x00, 0x29}));    // Escape
    EXPECT_EQ(codeOfRow(12), (std::vector<uint8_t>{0x20, 0x00, 0x45}));   // F12
    EXPECT_EQ(codeOfRow(84), (std::vector<uint8_t>{0x20, 0x02, 0x00}));   // left Shift
    EXPECT_EQ(codeOfRow(108), (std::vector<uint8_t>{0x20, 0x00, 0x2C}));  // space
    EXPECT_EQ(codeOfRow(110), (std::vector<uint8_t>{0xA0, 0x01, 0x00}));
    EXPECT_EQ(codeOfRow(119), (std::vector<uint8_t>{0x20, 0x00, 0x57}));  // keypad +

    // Every device key carries a distinct code, so every row maps to exactly one key.
    std::set<std::vector<uint8_t>> codes;
    std::set<uint8_t> rows;
    for (std::size_t k = 0; k < kSimKeyboardKeyCount; ++k) {
        codes.insert({viaCable->begin() + 3 * k, viaCable->begin() + 3 * k + 3});
        rows.insert(SimKeyboardKeys()[k].tableRow);
    }
    EXPECT_EQ(codes.size(), kSimKeyboardKeyCount);
    EXPECT_EQ(rows.size(), kSimKeyboardKeyCount);
    EXPECT_EQ(rows.count(20), 0u);  // rows without a key stay unmapped
    EXPECT_EQ(rows.count(104), 0u);
}

TEST_F(KeyboardPaths, LedMapGivesEveryKeyItsOwnPositionInTheLiveFrame) {
    const auto leds = wired.Read(Command::ReadLedMap, 0, kKeyMapBytes / 3);
    ASSERT_TRUE(leds);
    const std::set<uint8_t> distinct(leds->begin(), leds->end());
    EXPECT_EQ(distinct.size(), kSimKeyboardKeyCount);
    EXPECT_LT(*distinct.rbegin(), kSimKeyboardLedCount);
}

TEST_F(KeyboardPaths, KeyMapWrittenInWiredChunksReadsBackThroughTheReceiver) {
    std::vector<uint8_t> map = keyboard->KeyMap();
    map[3 * 10 + 0] = 0x30;  // key 10 becomes mute
    map[3 * 10 + 1] = 0xE2;
    map[3 * 10 + 2] = 0x00;
    EXPECT_EQ(wired.Write(Command::WriteKeyMap, 0, map), kStatusOk);
    EXPECT_EQ(wired.ReportsSent(), 6u);
    EXPECT_EQ(wireless.Read(Command::ReadKeyMap, 0, kKeyMapBytes), map);
}

TEST_F(KeyboardPaths, LightingEntryIsReadAtItsIndexTimes25AndWrittenBack) {
    EXPECT_EQ(wired.Read(Command::ReadConfig, 0, 1), std::vector<uint8_t>{0});
    const auto entry0 = wired.Read(Command::ReadConfig, 0, SimKeyboard::kRecordSize);
    ASSERT_TRUE(entry0);
    EXPECT_EQ(*entry0, keyboard->LightingRecord(0));
    EXPECT_LE((*entry0)[2], 4);   // brightness level
    EXPECT_LE((*entry0)[3], 4);   // inverted speed

    std::vector<uint8_t> record = Pattern(SimKeyboard::kRecordSize, 0x31);
    record[0] = 3;
    EXPECT_EQ(wireless.Write(Command::WriteConfig, 3 * 25, record), kStatusOk);
    EXPECT_EQ(keyboard->LightingRecord(3), record);
    EXPECT_EQ(wired.Read(Command::ReadConfig, 75, 26), record);
    EXPECT_EQ(keyboard->ActiveEntry(), 0);
}

TEST_F(KeyboardPaths, CustomFramesLandInTheirSlotOnly) {
    const std::vector<uint8_t> frame = Pattern(SimKeyboard::kCustomFrameSize, 0x11);
    EXPECT_EQ(wireless.Write(Command::WriteLightFrame, 3 * 512, frame), kStatusOk);
    EXPECT_EQ(wireless.ReportsSent(), 3u);  // 24 + 24 + 16
    EXPECT_EQ(keyboard->CustomSlot(3), frame);
    EXPECT_EQ(keyboard->CustomSlot(2), std::vector<uint8_t>(64, 0));
    EXPECT_EQ(keyboard->CustomSlot(4), std::vector<uint8_t>(64, 0));
    EXPECT_EQ(wired.Write(Command::WriteLightFrame, 8 * 512, frame), kStatusRefused);
}

TEST_F(KeyboardPaths, LiveFrameStreamsInChunksAndCountsWholeFrames) {
    const std::vector<uint8_t> frame = Pattern(SimKeyboard::kLiveFrameSize, 0x40);
    EXPECT_EQ(wired.Write(Command::StreamLightFrame, 0, frame), kStatusOk);
    EXPECT_EQ(wired.ReportsSent(), 7u);  // 6 × 56 + 6
    EXPECT_EQ(keyboard->LightFrame(), frame);
    EXPECT_EQ(keyboard->LiveFramesCompleted(), 1u);
    EXPECT_EQ(wireless.Write(Command::StreamLightFrame, 0, frame), kStatusOk);
    EXPECT_EQ(keyboard->LiveFramesCompleted(), 2u);
}

TEST_F(KeyboardPaths, MacroDataFillsTheAdvertisedCapacityAndNoMore) {
    const std::size_t capacity = std::size_t{SimKeyboard::kMacroUnits} * 128;
    const std::vector<uint8_t> block = Pattern(capacity, 0xAA);
    EXPECT_EQ(wired.Write(Command::WriteMacroData, 0, block), kStatusOk);
    EXPECT_EQ(keyboard->MacroData(), block);
    EXPECT_EQ(wired.Write(Command::WriteMacroData, static_cast<uint16_t>(capacity), std::span(block).first(4)),
              kStatusRefused);
    EXPECT_EQ(keyboard->MacroData(), block);
}

TEST_F(KeyboardPaths, ControlCommandsAndStatus) {
    EXPECT_FALSE(keyboard->HostLightingEnabled());
    EXPECT_EQ(wired.Send(Command::BeginConfig), kStatusOk);
    EXPECT_TRUE(keyboard->InConfigSession());
    EXPECT_EQ(wired.Send(Command::EndConfig), kStatusOk);
    EXPECT_FALSE(keyboard->InConfigSession());
    EXPECT_EQ(wireless.Send(Command::EnableHostLighting), kStatusOk);
    EXPECT_TRUE(keyboard->HostLightingEnabled());

    keyboard->SetStatusBlock({42, 1, 0, 1, 7, 0});
    EXPECT_EQ(wireless.Read(Command::ReadStatus, 0, 6), (std::vector<uint8_t>{42, 1, 0, 1, 7, 0}));
    EXPECT_EQ(keyboard->CommandsSeen(Command::ReadStatus), 1u);
    EXPECT_EQ(keyboard->CommandsSeen(Command::BeginConfig), 1u);
}

TEST(SimKeyboardEvents, KeyAndEntryEventsCarryTheirCodeInBytes1And2) {
    SimKeyboard keyboard;
    keyboard.PressKey(5);
    keyboard.ReleaseKey(0);
    keyboard.PressKey(0xFF);
    keyboard.EmitEvent(0x0402);
    keyboard.SwitchLightingEntry(3);
    keyboard.SwitchLightingEntry(SimKeyboard::kLightingEntries);  // no such entry: nothing

    const std::vector<Report> reports = keyboard.TakeSpontaneousReports();
    ASSERT_EQ(reports.size(), 5u);
    const uint16_t expected[] = {0x0505, 0x0600, 0x05FF, 0x0402, 0x1003};
    for (std::size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i][ReportByte::Id], kVendorReportId);
        EXPECT_EQ(reports[i][ReportByte::EventLow] | (reports[i][ReportByte::EventHigh] << 8), expected[i]);
        EXPECT_EQ(std::count(reports[i].begin() + 3, reports[i].end(), 0), 61);
    }
    EXPECT_EQ(keyboard.ActiveEntry(), 3);
    EXPECT_TRUE(keyboard.TakeSpontaneousReports().empty());
}

}  // namespace
}  // namespace q208::sim
