// The mouse's toolkit-free logic: DPI conversion, the settings block, the button map with
// its macro renumbering, and the stage rules of the page.
#include <gtest/gtest.h>

#include "device/CDeviceChannel.h"
#include "devices/mouse/MouseButtonMap.h"
#include "devices/mouse/MouseController.h"
#include "devices/mouse/MouseDpi.h"
#include "devices/mouse/MouseSettingsBlock.h"

namespace q208 {
namespace {

TEST(MouseDpiTest, SensorScalesRoundTripAsTheMouseCounts) {
    const MouseSensor doubled{MouseSensor::kCodeDoubleRange, 100, 100};
    EXPECT_EQ(DpiToStep(doubled, 5100), 100);
    EXPECT_EQ(StepToDpi(doubled, 100), 5100);
    EXPECT_EQ(DpiToStep(doubled, 400), 7);
    EXPECT_EQ(StepToDpi(doubled, 7), 400);

    const MouseSensor plain{0x3301, 50, 100};
    EXPECT_EQ(DpiToStep(plain, 1600), 30);
    EXPECT_EQ(StepToDpi(plain, 30), 1600);

    const MouseSensor wide{MouseSensor::kCodeWideRange, 100, 100};
    EXPECT_EQ(DpiToStep(wide, 4900), 48);
    EXPECT_EQ(DpiToStep(wide, 6000), (6000 - 100 - 5000) / 200 + 48);
    EXPECT_EQ(StepToDpi(wide, 52), 100 + 48 * 100 + 200 * 4);
}

TEST(MouseDpiTest, EditTextAndLimits) {
    EXPECT_EQ(DpiOfEditText(""), 100);  // empty counts as 0, below 100 as 100
    EXPECT_EQ(DpiOfEditText("40"), 100);
    EXPECT_EQ(DpiOfEditText("1600"), 1600);
    EXPECT_FALSE(DpiOfEditText("16x0"));
    const MouseSensor plain{0x3301, 50, 100};
    EXPECT_EQ(DpiToStep(plain, *DpiOfEditText("")), 0);
    EXPECT_EQ(DpiToStep(plain, kMaxDpiEdit), kMaxDpiStep);  // the slider's range holds
    const MouseSensor noStep{0x3301, 0, 100};               // an information block without a step
    EXPECT_EQ(DpiToStep(noStep, 150), 50);
}

TEST(MouseDpiTest, SensorFromTheInformationBlock) {
    std::array<uint8_t, 34> info{};
    info[9] = 0x25, info[10] = 0x89, info[11] = 50, info[14] = 0x2C, info[15] = 0x01;
    const auto sensor = MouseSensor::FromInfo(info);
    ASSERT_TRUE(sensor);
    EXPECT_EQ(sensor->code, 0x8925);
    EXPECT_EQ(sensor->step, 50);
    EXPECT_EQ(sensor->minimum, 300);
    EXPECT_FALSE(MouseSensor::FromInfo(std::span(info).first(10)));
}

KeyboardEffectList ShiftedModes() {
    std::vector<KeyboardEffectList::Entry> entries;
    for (int i = 0; i < 12; ++i) entries.push_back({"m" + std::to_string(i), true, 0x20 + i});
    return KeyboardEffectList(entries);
}

DpiStage Stage(uint8_t step, uint8_t red) {
    DpiStage s;
    s.active = 1;
    s.SetSteps(step, step);
    s.red = red;
    return s;
}

TEST(MouseSettingsBlockTest, EveryByteFromTheProfile) {
    LightInfoRecord light;
    light.selectItem = 3, light.light = 2, light.speed = 1, light.fx = 1, light.multiColor = 1;
    light.red = 10, light.green = 20, light.blue = 30;
    MouseSettingsRecord settings;
    settings.pollingIndex = 1, settings.bleSleep1 = 5, settings.bleSleep2 = 6, settings.deviceSleep1 = 7;
    settings.deviceSleep2 = 8, settings.logoLedMode = 2;
    const std::vector<DpiStage> stages = {Stage(3, 1), Stage(7, 2), Stage(15, 3), Stage(31, 4)};
    const auto block = MouseSettingsBlock::Encode(light, stages, settings, 2, ShiftedModes());

    EXPECT_EQ(block[1], 0x23);
    EXPECT_EQ(block[2], 2);
    EXPECT_EQ(block[3], 3);  // 4 − speed
    EXPECT_EQ(block[4], 1);
    EXPECT_EQ(block[5], 1);
    EXPECT_EQ((std::array{block[6], block[7], block[8]}), (std::array<uint8_t, 3>{10, 20, 30}));
    EXPECT_EQ(block[11], 2);  // 3 − polling option
    EXPECT_EQ(block[12], 2);
    for (size_t i = 0; i < 4; ++i) {
        const uint8_t* s = &block[14 + 9 * i];
        EXPECT_EQ(s[0], 1) << i;
        EXPECT_EQ(s[2], stages[i].dpiX[0]) << i;
        EXPECT_EQ(s[3], stages[i].dpiX[0]) << i;
        EXPECT_EQ(s[6], i + 1) << i;
    }
    for (size_t at = 14 + 9 * 4; at < 77; ++at) EXPECT_EQ(block[at], 0) << "stage byte " << at;
    EXPECT_EQ((std::array{block[77], block[78], block[79], block[80], block[86]}),
              (std::array<uint8_t, 5>{5, 6, 7, 8, 2}));
}

TEST(MouseSettingsBlockTest, ModesAndPollingAtTheirEdges) {
    LightInfoRecord light;
    light.selectItem = 12;  // past the mouse's modes: sent as mode 0
    const auto block = MouseSettingsBlock::Encode(light, {}, {}, 0, ShiftedModes());
    EXPECT_EQ(block[1], 0x20);

    MouseSettingsBlock::Bytes read{};
    read[1] = 0x25;
    read[3] = 4;
    read[11] = 0;
    auto d = MouseSettingsBlock::Decode(read, ShiftedModes());
    EXPECT_EQ(d.light.selectItem, 5);
    EXPECT_EQ(d.light.speed, 0);
    EXPECT_EQ(MouseSettingsBlock::ShownPollingOption(d.pollingIndex), 3);
    read[11] = 0xFF;  // option 4 in 8-bit arithmetic
    EXPECT_EQ(MouseSettingsBlock::Decode(read, ShiftedModes()).pollingIndex, 4);
    read[11] = 0xF0;
    EXPECT_EQ(MouseSettingsBlock::ShownPollingOption(MouseSettingsBlock::Decode(read, ShiftedModes()).pollingIndex), 0);
    read[1] = 0x77;  // a code in no entry stays the mode index
    EXPECT_EQ(MouseSettingsBlock::Decode(read, ShiftedModes()).light.selectItem, 0x77);
}

KeyAssignmentRecord Assign(uint8_t type, uint8_t p1, uint8_t p2, const MouseButtonMap::Code& defaults) {
    KeyAssignmentRecord r;
    r.current.type = type, r.current.param1 = p1, r.current.param2 = p2;
    r.defaults.type = defaults[0], r.defaults.param1 = defaults[1], r.defaults.param2 = defaults[2];
    return r;
}

TEST(MouseButtonMapTest, MapsFunctionsAndRenumbersMacrosByFirstUse) {
    const auto& codes = MouseButtonMap::DefaultCodes();
    // Key order of a mouse with eight buttons: left, right, middle, back, forward, DPI 1, DPI 2, 0xA0.
    std::vector<uint8_t> keyMap;
    for (int j : {0, 1, 2, 4, 3, 5, 6, 8}) keyMap.insert(keyMap.end(), codes[j].begin(), codes[j].end());
    MouseButtonMap map;
    map.Rebuild(keyMap, 8);
    EXPECT_EQ(map.ButtonOf(3), 4);
    EXPECT_EQ(map.ButtonOf(4), 3);
    EXPECT_FALSE(map.HasButton(7));
    EXPECT_FALSE(map.HasButton(10));

    std::vector<KeyAssignmentRecord> records;
    for (const auto& code : codes) records.push_back(Assign(code[0], code[1], code[2], code));
    records[1] = Assign(0x70, 5, 1, codes[1]);  // first macro used: 5 → 0
    records[2] = Assign(0x71, 2, 3, codes[2]);  // then 2 → 1
    records[3] = Assign(0x70, 5, 0, codes[3]);  // 5 again → 0
    records[4] = Assign(0x70, 9, 0, codes[4]);  // past the 6 macros: back to the default
    records[7] = Assign(0x70, 1, 0, codes[7]);  // no button: not counted
    const auto order = map.Apply(records, 6, keyMap);
    EXPECT_EQ(order, (std::vector<int>{5, 2}));
    auto at = [&](int key) { return std::array{keyMap[key * 3], keyMap[key * 3 + 1], keyMap[key * 3 + 2]}; };
    EXPECT_EQ(at(1), (std::array<uint8_t, 3>{0x70, 0, 1}));
    EXPECT_EQ(at(2), (std::array<uint8_t, 3>{0x71, 1, 3}));
    EXPECT_EQ(at(4), (std::array<uint8_t, 3>{0x70, 0, 0}));
    EXPECT_EQ(at(3), codes[4]);

    EXPECT_TRUE(MouseButtonMap::DropStaleMacros(records, 6));
    EXPECT_EQ(records[4].current.type, codes[4][0]);
    EXPECT_EQ(records[1].current.type, 0x70);
    EXPECT_FALSE(MouseButtonMap::DropStaleMacros(records, 6));
}

class MouseStageRulesTest : public ::testing::Test {
protected:
    CDeviceChannel channel_;
    CMouseProfiledata profile_;
    MouseController controller_{channel_, profile_};
};

TEST_F(MouseStageRulesTest, TheLastEnabledStageAndTheActiveOneStayOn) {
    for (int i = 0; i < 3; ++i) controller_.SetStageStep(i, 10 * i);
    for (int i = 0; i < 3; ++i) controller_.SetStageEnabled(i, true);
    controller_.SelectStage(2);
    EXPECT_EQ(controller_.EnableClickable(), (std::array<bool, 7>{true, true, false, true, true, true, true}));
    EXPECT_FALSE(controller_.SetStageEnabled(2, false));  // the active stage
    EXPECT_TRUE(controller_.SetStageEnabled(0, false));
    EXPECT_TRUE(controller_.SetStageEnabled(1, false));
    controller_.SelectStage(0);
    // Selecting stage 0 switched it on again; turning it off leaves stage 2 alone.
    controller_.SelectStage(2);
    EXPECT_TRUE(controller_.SetStageEnabled(0, false));
    EXPECT_FALSE(controller_.EnableClickable()[2]);
    EXPECT_FALSE(controller_.SetStageEnabled(2, false));
    EXPECT_TRUE(controller_.SetStageEnabled(5, true));  // the list grows to the stage
    EXPECT_EQ(controller_.Stages().size(), 6u);
    EXPECT_EQ(controller_.EnableClickable(), (std::array<bool, 7>{true, true, false, true, true, true, true}));

    // A mouse whose active stage is off (as read from it): the one stage left on keeps it.
    controller_.SetStageEnabled(2, true);
    controller_.SetActiveStage(0);
    EXPECT_TRUE(controller_.SetStageEnabled(2, false));
    EXPECT_FALSE(controller_.EnableClickable()[5]);
    EXPECT_FALSE(controller_.SetStageEnabled(5, false));
}

TEST_F(MouseStageRulesTest, EditsReachTheProfile) {
    ASSERT_TRUE(controller_.SetStageDpi(3, 1600));
    EXPECT_EQ(controller_.StageStep(3), 15);  // the factory sensor: 100 DPI per step from 100
    EXPECT_EQ(controller_.StageDpi(3), 1600);
    EXPECT_EQ(profile_.GetDpiStages().size(), 4u);
    EXPECT_FALSE(controller_.SetStageDpi(7, 1600));
    EXPECT_FALSE(controller_.SetPolling(5));
    EXPECT_TRUE(controller_.SetPolling(4));
    controller_.SetSleep(MouseController::Sleep::Device2, 3);
    EXPECT_EQ(profile_.GetMouseSettings().deviceSleep2, 3);
    EXPECT_EQ(profile_.GetMouseSettings().pollingIndex, 4);
}

}  // namespace
}  // namespace q208

namespace q208 {
namespace {

TEST(MouseButtonMapTest, AReassignedButtonIsFoundAgainThroughItsAssignment) {
    // Four buttons: left, right, and the back button given the middle button's code, then
    // forward as a fire button.
    const std::vector<uint8_t> keyMap = {0x10, 0x01, 0x00, 0x10, 0x02, 0x00, 0x10, 0x04, 0x00, 0x14, 0x28, 0x03};
    MouseButtonMap map;
    map.Rebuild(keyMap, 4);
    EXPECT_EQ(map.ButtonOf(2), 2);  // middle: its default code
    EXPECT_FALSE(map.HasButton(3));  // forward: reassigned, its default code is gone
    std::vector<KeyAssignmentRecord> records(MouseButtonMap::kFunctionCount);
    for (size_t j = 0; j < records.size(); ++j) {
        const auto& code = MouseButtonMap::DefaultCodes()[j];
        records[j].current = records[j].defaults = {static_cast<uint16_t>(j), code[0], code[1], code[2], 0};
    }
    records[3].current = {3, 0x14, 0x28, 0x03, 0};
    records[4].current = {4, 0x10, 0x04, 0x00, 0};  // the middle button's code, whose button is taken
    map.MapAssigned(keyMap, 4, records);
    EXPECT_EQ(map.ButtonOf(3), 3);
    EXPECT_FALSE(map.HasButton(4));
}

}  // namespace
}  // namespace q208
