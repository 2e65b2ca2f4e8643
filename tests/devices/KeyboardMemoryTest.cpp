// Reading the keyboard, its lighting record, key-map, macro and power-status traffic,
// against the emulated keyboard on the cable and through the receiver.
#include <gtest/gtest.h>
#include <json/value.h>

#include <numeric>

#include "device/DeviceResult.h"
#include "devices/lighting/KeyboardEffectList.h"
#include "devices/keyboard/KeyboardKeyMapWriter.h"
#include "devices/keyboard/KeyboardLightingRecord.h"
#include "devices/base/MacroBlock.h"
#include "devices/keyboard/KeyboardPowerStatus.h"
#include "KeyboardTestRig.h"
#include "profile/JsonFile.h"

namespace q208 {
namespace {

using test::DeviceKeyOfRow;
using test::KeyboardPath;
using test::KeyboardRig;

constexpr uint8_t kWriteMacro = 0x15;


KeyboardEffectList IdentityEffects() {
    std::vector<KeyboardEffectList::Entry> entries;
    for (int i = 0; i < 34; ++i) entries.push_back({"e" + std::to_string(i), true, i});
    return KeyboardEffectList(entries);
}

class KeyboardMemoryTest : public ::testing::TestWithParam<KeyboardPath> {
protected:
    KeyboardMemoryTest() : rig_(GetParam().receiver) {}
    void ReadAll() { ASSERT_EQ(memory_.ReadAll(rig_.commands_, rig_.channel_), kResultOk); }
    // From the `fromChunk`-th request of command `code` on, the keyboard puts two stale
    // answers before each real one, so those requests fail at once without a time-out.
    void FailCommand(uint8_t code, int fromChunk = 0) {
        auto seen = std::make_shared<int>(0);
        rig_.channel_.SetTrafficObserver([this, code, fromChunk, seen](bool sent, std::span<const uint8_t> r) {
            if (!sent || r[3] != code || (*seen)++ < fromChunk) return;
            rig_.Keyboard().faults().staleAnswers = 2;
            rig_.Keyboard().faults().staleAnswer = 1;
        });
    }
    void StopFailing() { rig_.channel_.SetTrafficObserver(nullptr); }
    int WriteF1AsVolumeUp() {
        KeyAssignmentRecord assignment;
        assignment.current = {1, 0x30, 0xE9, 0x00, 0};
        const KeyAssignmentRecord list[] = {assignment};
        return KeyboardKeyMapWriter::Write(rig_.commands_, rig_.channel_, memory_, 0, list);
    }
    KeyboardRig rig_;
    KeyboardMemory memory_;
};

TEST_P(KeyboardMemoryTest, ReadAllMapsEveryEmulatedKeyAndLeavesKeylessRowsUnmapped) {
    ReadAll();
    EXPECT_EQ(memory_.KeyCount(), 104);
    EXPECT_FALSE(rig_.Keyboard().InConfigSession());
    const auto keys = sim::SimKeyboardKeys();
    for (size_t k = 0; k < keys.size(); ++k) {
        EXPECT_EQ(memory_.TableToKey(keys[k].tableRow), k) << "row " << int(keys[k].tableRow);
        EXPECT_EQ(memory_.TableToLed(keys[k].tableRow), keys[k].led);
    }
    for (int row : {20, 104, 130, 169}) {
        EXPECT_EQ(memory_.TableToKey(row), kNoKey) << row;
        EXPECT_EQ(memory_.TableToLed(row), kNoKey) << row;
    }
}

TEST_P(KeyboardMemoryTest, KeyMapCodeInNoRowGivesThatKeyNoRowAndTheRowNoKey) {
    const uint8_t f1 = DeviceKeyOfRow(1);
    const uint8_t unknown[] = {0x20, 0x00, 0xE9};
    ASSERT_TRUE(rig_.Keyboard().Poke(sim::SimArea::KeyMap, f1 * 3u, unknown));
    ReadAll();
    EXPECT_EQ(memory_.TableToKey(1), kNoKey);
    EXPECT_EQ(memory_.TableToLed(1), kNoKey);
    EXPECT_FALSE(memory_.RowOfDeviceKey(f1).has_value());
}

TEST_P(KeyboardMemoryTest, AReassignedKeyIsFoundAgainThroughItsProfileAssignment) {
    const uint8_t f1 = DeviceKeyOfRow(1);
    const uint8_t volumeUp[] = {0x30, 0xE9, 0x00};
    ASSERT_TRUE(rig_.Keyboard().Poke(sim::SimArea::KeyMap, f1 * 3u, volumeUp));
    ReadAll();
    ASSERT_EQ(memory_.TableToKey(1), kNoKey);
    KeyAssignmentRecord f1Record, f2Record;
    f1Record.current = {1, 0x30, 0xE9, 0x00, 0};
    f2Record.current = {2, 0x30, 0xE9, 0x00, 0};  // a row that still has its key keeps it
    const KeyAssignmentRecord list[] = {f1Record, f2Record};
    memory_.MapAssignedRows(list);
    EXPECT_EQ(memory_.TableToKey(1), f1);
    EXPECT_NE(memory_.TableToLed(1), kNoKey);
    EXPECT_EQ(memory_.TableToKey(2), DeviceKeyOfRow(2));  // still its own key
    // A code that no free key holds (or more than one does) maps nothing.
    KeyAssignmentRecord stray;
    stray.current = {3, 0x20, 0x00, 0x3A, 0};  // F1's factory code: F1's key is taken
    memory_.MapAssignedRows(std::span(&stray, 1));
    EXPECT_EQ(memory_.TableToKey(3), DeviceKeyOfRow(3));
}

TEST_P(KeyboardMemoryTest, DisabledKeyDoesNotPullTheKeylessRowsOntoItsLed) {
    const uint8_t f1 = DeviceKeyOfRow(1);
    const uint8_t noKey[] = {0x20, 0x00, 0x00};
    ASSERT_TRUE(rig_.Keyboard().Poke(sim::SimArea::KeyMap, f1 * 3u, noKey));
    ReadAll();
    for (int row : {20, 104, 130, 169}) EXPECT_EQ(memory_.TableToLed(row), kNoKey) << row;
    EXPECT_FALSE(memory_.RowOfDeviceKey(f1).has_value());
    EXPECT_FALSE(memory_.RowOfDeviceKey(kNoKey).has_value()) << "255 marks rows without a key";
}

TEST_P(KeyboardMemoryTest, RefusedKeyCountKeepsThePreviousCopies) {
    ReadAll();
    const auto before = memory_.KeyMapCopy();
    const uint8_t tooMany[] = {200};
    ASSERT_TRUE(rig_.Keyboard().Poke(sim::SimArea::Info, KeyboardMemory::kInfoKeyCount, tooMany));
    memory_.ReadAll(rig_.commands_, rig_.channel_);
    EXPECT_EQ(memory_.KeyMapCopy(), before);
    EXPECT_EQ(memory_.TableToKey(1), DeviceKeyOfRow(1));
}

TEST_P(KeyboardMemoryTest, FailedKeyMapOrLedMapReadKeepsThePreviousCopiesAndMaps) {
    ReadAll();
    const auto keyMap = memory_.KeyMapCopy();
    const auto ledMap = memory_.LedMapCopy();
    struct Case {
        uint8_t code;
        int fromChunk;
    };
    for (const Case c : {Case{0x07, 0}, Case{0x07, 3}, Case{0x1B, 0}}) {
        FailCommand(c.code, c.fromChunk);
        EXPECT_EQ(memory_.ReadAll(rig_.commands_, rig_.channel_), kResultNoAnswer) << int(c.code);
        StopFailing();
        EXPECT_EQ(memory_.KeyMapCopy(), keyMap) << int(c.code) << " from chunk " << c.fromChunk;
        EXPECT_EQ(memory_.LedMapCopy(), ledMap) << int(c.code) << " from chunk " << c.fromChunk;
        EXPECT_EQ(memory_.TableToKey(1), DeviceKeyOfRow(1));
        EXPECT_NE(memory_.TableToLed(1), kNoKey);
        EXPECT_FALSE(rig_.Keyboard().InConfigSession()) << "the session is still ended";
    }
}

TEST_P(KeyboardMemoryTest, KeyMapWriteAfterAFailedReadChangesOnlyTheAssignedKey) {
    ReadAll();
    const auto before = rig_.Keyboard().KeyMap();
    FailCommand(0x07, 2);
    EXPECT_NE(memory_.ReadAll(rig_.commands_, rig_.channel_), kResultOk);
    StopFailing();
    EXPECT_EQ(WriteF1AsVolumeUp(), kResultOk);
    auto expected = before;
    const size_t at = DeviceKeyOfRow(1) * 3u;
    expected[at] = 0x30;
    expected[at + 1] = 0xE9;
    expected[at + 2] = 0x00;
    EXPECT_EQ(rig_.Keyboard().KeyMap(), expected);
}

TEST_P(KeyboardMemoryTest, KeyMapWriteWithoutAReadKeyMapOrInformationBlockSendsNothing) {
    const auto before = rig_.Keyboard().KeyMap();
    // Never read: the copy is zeros and must not reach the keyboard.
    EXPECT_EQ(WriteF1AsVolumeUp(), kResultNoAnswer);
    FailCommand(0x07);
    memory_.ReadAll(rig_.commands_, rig_.channel_);
    StopFailing();
    EXPECT_EQ(WriteF1AsVolumeUp(), kResultNoAnswer) << "the only read failed";
    EXPECT_EQ(rig_.Seen(0x09), 0u);

    // A good copy, but the information block read before the write fails.
    ReadAll();
    const uint32_t sessions = rig_.Seen(0x01);
    FailCommand(0x03);
    EXPECT_EQ(WriteF1AsVolumeUp(), kResultNoAnswer);
    StopFailing();
    EXPECT_EQ(rig_.Seen(0x09), 0u);
    EXPECT_EQ(rig_.Seen(0x01), sessions) << "no session is begun for it";
    EXPECT_EQ(rig_.Keyboard().KeyMap(), before);
    EXPECT_EQ(memory_.KeyCount(), 104) << "the failed read kept the block";
}

TEST_P(KeyboardMemoryTest, ClosedChannelReadsNothing) {
    rig_.channel_.CloseAll();
    EXPECT_EQ(memory_.ReadAll(rig_.commands_, rig_.channel_), 0);
    EXPECT_EQ(rig_.Seen(0x03), 0u);
}

TEST_P(KeyboardMemoryTest, LightingRecordIsReadAtTheActiveEntryTimes25) {
    for (uint8_t entry : {0, 3}) {
        KeyboardLightingRecord::Bytes written{};
        std::iota(written.begin(), written.end(), uint8_t(40 + entry));
        written[0] = entry;
        ASSERT_TRUE(rig_.Keyboard().Poke(sim::SimArea::Config, entry * 25u, written));
        if (entry != 0) {
            const uint8_t active[] = {entry};
            ASSERT_TRUE(rig_.Keyboard().Poke(sim::SimArea::Config, 0, active));
        }
        KeyboardLightingRecord::Bytes read{};
        uint8_t m = 0xFF;
        ASSERT_EQ(KeyboardLightingRecord::Read(rig_.commands_, rig_.channel_, read, m), kResultOk);
        EXPECT_EQ(m, entry);
        EXPECT_EQ(read, written) << "entry " << int(entry) << " spans offsets " << entry * 25 << "…" << entry * 25 + 25;
    }
}

TEST_P(KeyboardMemoryTest, WrittenRecordLandsInItsEntryInsideAConfigSession) {
    LightInfoRecord info;
    info.selectItem = 4;
    info.light = 3;
    info.speed = 1;
    info.red = 10;
    info.customGroup = 2;
    KeyboardSystemRecord system;
    system.winFlag = 1;
    const auto record = KeyboardLightingRecord::Encode(info, system, IdentityEffects(), 2);
    EXPECT_EQ(KeyboardLightingRecord::Write(rig_.commands_, rig_.channel_, 2, record), kResultOk);
    const auto stored = rig_.Keyboard().LightingRecord(2);
    EXPECT_EQ(std::vector<uint8_t>(record.begin(), record.end()), stored);
    EXPECT_EQ(record[3], 3) << "speed is sent as 4 − level";
    EXPECT_EQ(record[21], 1);
    EXPECT_EQ(rig_.Seen(0x01), 1u);
    EXPECT_EQ(rig_.Seen(0x02), 1u);
}

TEST_P(KeyboardMemoryTest, KeyAssignmentGoesToTheRowsDeviceKeyOnly) {
    ReadAll();
    const auto before = rig_.Keyboard().KeyMap();
    KeyAssignmentRecord assignment;
    assignment.current = {1, 0x30, 0xE9, 0x00, 0};  // F1 becomes volume up
    KeyAssignmentRecord keyless;
    keyless.current = {140, 0x20, 0, 0x04, 0};      // a spare row has no key: skipped
    const KeyAssignmentRecord list[] = {assignment, keyless};
    EXPECT_EQ(KeyboardKeyMapWriter::Write(rig_.commands_, rig_.channel_, memory_, 0, list), kResultOk);
    auto expected = before;
    const size_t at = DeviceKeyOfRow(1) * 3u;
    expected[at] = 0x30;
    expected[at + 1] = 0xE9;
    expected[at + 2] = 0x00;
    EXPECT_EQ(rig_.Keyboard().KeyMap(), expected);
    EXPECT_EQ(KeyboardKeyMapWriter::Write(rig_.commands_, rig_.channel_, memory_, 1, list), kResultBadBank);
}

TEST_P(KeyboardMemoryTest, PowerStatusForcesTheWirelessByteByPath) {
    rig_.Keyboard().SetStatusBlock({77, 1, 0, 9, 5, 0});
    const auto block = KeyboardPowerStatus::Read(rig_.commands_, rig_.channel_, false);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ((*block)[KeyboardPowerStatus::kBattery], 77);
    EXPECT_EQ((*block)[KeyboardPowerStatus::kWireless], GetParam().receiver ? 1 : 0);
    EXPECT_EQ((*block)[KeyboardPowerStatus::kForwarded], 5);
    EXPECT_FALSE(KeyboardPowerStatus::Read(rig_.commands_, rig_.channel_, true).has_value()) << "status hold";
}

INSTANTIATE_TEST_SUITE_P(Paths, KeyboardMemoryTest,
                         ::testing::Values(KeyboardPath{"Cable", false}, KeyboardPath{"Receiver", true}),
                         test::PathName);

TEST(KeyboardEffectList, HostStreamedCodesAreWrittenAs0xFEAnd0xFEKeepsTheCurrentNumber) {
    // Effect numbers are positions; 29 and 30 sit at other positions to keep the two apart.
    KeyboardEffectList effects({{"a", true, 1}, {"b", true, 29}, {"c", true, 30}, {"d", true, 7}});
    EXPECT_EQ(effects.RecordCode(1), 0xFE);
    EXPECT_EQ(effects.RecordCode(2), 0xFE);
    EXPECT_EQ(effects.RecordCode(3), 7);
    EXPECT_EQ(effects.NumberOf(0xFE, 2), 2);
    EXPECT_EQ(effects.NumberOf(7, 0), 3);
    EXPECT_EQ(effects.NumberOf(55, 0), 55) << "a code in no entry is taken as the number";

    KeyboardLightingRecord::Bytes record{};
    record[1] = 0xFE;
    record[3] = 9;  // beyond level 4: speed reads 0, not a wrapped value
    LightInfoRecord info;
    info.selectItem = 1;
    KeyboardSystemRecord system;
    KeyboardLightingRecord::Decode(record, effects, info, system);
    EXPECT_EQ(info.selectItem, 1);
    EXPECT_EQ(info.speed, 0);
}

TEST(KeyboardEffectList, DataFileGivesEveryDeviceItsList) {
    KeyboardEffectList list;
    for (int device = 0; device < 4; ++device) {
        EXPECT_TRUE(list.Load(KeyboardEffectList::DefaultFile(), device)) << device;
        EXPECT_FALSE(list.AreaNames().empty()) << device;
    }
    ASSERT_TRUE(list.Load(KeyboardEffectList::DefaultFile(), KeyboardEffectList::kKeyboardListIndex));
    ASSERT_GE(list.Entries().size(), 34u);
    EXPECT_EQ(list.DeviceCode(30), 30);
    EXPECT_FALSE(list.Entries()[20].visible) << "20 has no renderer";
    EXPECT_FALSE(list.Load("/nonexistent/default_light.json", 0));
    EXPECT_TRUE(list.Entries().empty());
}

// Macro store files: index plus one event file per macro.
class KeyboardMacroTest : public ::testing::TestWithParam<KeyboardPath> {
protected:
    KeyboardMacroTest() : rig_(GetParam().receiver) {}
    void AddMacro(const std::string& guid, int events, bool integerDelay = false) {
        Json::Value index = ReadJsonValue(folder_.Path() / "macro.config");
        Json::Value entry;
        entry["MacroName"] = guid;
        entry["Guid"] = guid;
        index["MacroInfo"].append(entry);
        ASSERT_EQ(WriteJsonFile(index, folder_.Path() / "macro.config"), 0);
        Json::Value file;
        file["Version"] = 64;
        file["Events"] = Json::Value(Json::arrayValue);
        for (int i = 0; i < events; ++i) {
            Json::Value event;
            event["Action"] = i % 2 == 0 ? "down" : "up";
            event["Type"] = 10;
            event["Button"] = 4 + i % 26;
            event["Delay"] = integerDelay ? Json::Value(300 + i) : Json::Value(std::to_string(300 + i));
            file["Events"].append(event);
        }
        ASSERT_EQ(WriteJsonFile(file, folder_.Path() / (guid + ".mac")), 0);
    }
    int Write(std::vector<int> numbers) {
        if (rig_.channel_.IsOpen()) memory_.ReadInfo(rig_.commands_);
        return MacroBlock::Write(rig_.commands_, rig_.channel_, memory_.MacroCapacity(), folder_.Path(), numbers);
    }
    KeyboardRig rig_;
    KeyboardMemory memory_;
    test::ScratchFolder folder_;
};

TEST_P(KeyboardMacroTest, BlockLayoutWithStringAndIntegerDelays) {
    AddMacro("m0", 2);
    AddMacro("m1", 1, true);
    ASSERT_EQ(Write({1, 0}), kResultOk);
    const auto data = rig_.Keyboard().MacroData();
    const size_t size = 16 + 2 * 2 + (4 + 4) + (4 + 8);
    ASSERT_GE(data.size(), size);
    EXPECT_EQ(data[0], 0xAA);
    EXPECT_EQ(data[1], 0x55);
    EXPECT_EQ(data[2] | data[3] << 8, static_cast<int>(size));
    EXPECT_EQ(data[4], 2);
    const size_t first = data[16] | data[17] << 8, second = data[18] | data[19] << 8;
    EXPECT_EQ(first, 20u);
    EXPECT_EQ(second, 28u);
    // Macro 1 first: one event, integer delay 300, a press of usage 4.
    EXPECT_EQ(data[first], 1);
    EXPECT_EQ(data[first + 4] | data[first + 5] << 8, 300);
    EXPECT_EQ(data[first + 6], 10 | 0x80);
    EXPECT_EQ(data[first + 7], 4);
    // Macro 0: its second event is a release with delay "301".
    EXPECT_EQ(data[second], 2);
    EXPECT_EQ(data[second + 8] | data[second + 9] << 8, 301);
    EXPECT_EQ(data[second + 10], 10);
}

TEST_P(KeyboardMacroTest, TwoHundredFiftyEventsFitButNotTwoHundredFiftyOne) {
    AddMacro("ok", 250);
    AddMacro("long", 251);
    EXPECT_EQ(Write({0}), kResultOk);
    const uint32_t sent = rig_.Seen(kWriteMacro);
    EXPECT_GT(sent, 0u);
    EXPECT_EQ(Write({0, 1}), 0);
    EXPECT_EQ(rig_.Seen(kWriteMacro), sent);
}

TEST_P(KeyboardMacroTest, BlockBeyondTheMacroMemoryIsNotSent) {
    // 4096 bytes of memory: 16 + 2 × 5 + 5 × (4 + 4 × 200) = 4046 fits; a sixth macro does not.
    for (int i = 0; i < 6; ++i) AddMacro("big" + std::to_string(i), 200);
    EXPECT_EQ(Write({0, 1, 2, 3, 4}), kResultOk);
    const uint32_t sent = rig_.Seen(kWriteMacro);
    EXPECT_EQ(Write({0, 1, 2, 3, 4, 5}), 0);
    EXPECT_EQ(rig_.Seen(kWriteMacro), sent);
    EXPECT_EQ(memory_.MacroCapacity(), sim::SimKeyboard::kMacroUnits * 128u);
}

TEST_P(KeyboardMacroTest, IdentifierThatIsNoFileNameReadsAsAnEmptyMacro) {
    Json::Value index;
    Json::Value entry;
    entry["Guid"] = "../../etc/passwd";
    index["MacroInfo"].append(entry);
    ASSERT_EQ(WriteJsonFile(index, folder_.Path() / "macro.config"), 0);
    EXPECT_TRUE(MacroBlock::LoadMacro(folder_.Path(), 0).empty());
    EXPECT_TRUE(MacroBlock::LoadMacro(folder_.Path(), 7).empty());
}

INSTANTIATE_TEST_SUITE_P(Paths, KeyboardMacroTest,
                         ::testing::Values(KeyboardPath{"Cable", false}, KeyboardPath{"Receiver", true}),
                         test::PathName);

}  // namespace
}  // namespace q208
