// The mouse's blocks against the emulated mouse, on its cable and through the receiver.
#include <gtest/gtest.h>
#include <json/value.h>

#include <filesystem>
#include <memory>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "device/DeviceResult.h"
#include "device/SimBus.h"
#include "devices/mouse/CVantorixMouseDevice.h"
#include "devices/mouse/MouseController.h"
#include "profile/JsonFile.h"
#include "profile/ProfilePaths.h"
#include "sim/SimDeviceSet.h"
#include "sim/SimMouse.h"

namespace q208 {
namespace {

constexpr uint8_t kWriteConfig = 0x06;
constexpr uint8_t kWriteKeyMap = 0x09;
constexpr uint32_t kMouseTarget = 2;

struct MousePath {
    const char* name;
    bool receiver;
    bool factoryProfile;  // without it the profile starts empty
};

class MouseEmulatorTest : public ::testing::TestWithParam<MousePath> {
protected:
    void SetUp() override {
        if (Receiver())
            devices_.PlugAll({sim::SimDeviceKind::Mouse, sim::SimDeviceKind::Receiver});
        else
            devices_.Plug(sim::SimDeviceKind::Mouse);
        ASSERT_TRUE(channel_.OpenPath(
            devices_.CommandPath(Receiver() ? sim::SimDeviceKind::Receiver : sim::SimDeviceKind::Mouse),
            Receiver() ? CDeviceChannel::kLinkReceiver : CDeviceChannel::kLinkWired, Receiver() ? kMouseTarget : 0));
        controller_.LoadModes(KeyboardEffectList::DefaultFile());
        if (GetParam().factoryProfile) profile_.SetDefaultPath(DefaultProfileFile(kMouseFolder));
        controller_.LoadProfile({});
    }
    bool Receiver() const { return GetParam().receiver; }
    sim::SimMouse& Mouse() { return *devices_.Mouse(); }

    std::shared_ptr<SimBus> bus_ = std::make_shared<SimBus>();
    sim::SimDeviceSet devices_{bus_};
    CDeviceChannel channel_{bus_};
    CMouseProfiledata profile_;
    MouseController controller_{channel_, profile_};
};

TEST_P(MouseEmulatorTest, ReadsTheMouseAndWritesTheBlockItReadsBack) {
    ASSERT_EQ(controller_.ReadDevice(), kResultOk);
    EXPECT_EQ(controller_.Memory().KeyCount(), 8);
    EXPECT_EQ(controller_.Memory().Buttons().ButtonOf(3), 4);  // forward sits at key 4
    ASSERT_EQ(controller_.ReadSettingsFromDevice(), kResultOk);
    EXPECT_EQ(controller_.ActiveStage(), 1);
    EXPECT_EQ(controller_.Settings().deviceSleep1, 5);
    EXPECT_EQ(controller_.Settings().pollingIndex, 0);

    controller_.SetStageDpi(0, 2000);
    controller_.SetPolling(2);
    controller_.SetSleep(MouseController::Sleep::Ble2, 15);
    const uint32_t writes = Mouse().CommandsSeen(kWriteConfig);
    ASSERT_EQ(controller_.WriteSettingsToDevice(), kResultOk);
    EXPECT_GT(Mouse().CommandsSeen(kWriteConfig), writes);
    const auto block = Mouse().SettingsBlock(0);
    EXPECT_EQ(block[14 + 2], 19);  // (2000 − 100) / 100
    EXPECT_EQ(block[14 + 3], 19);
    EXPECT_EQ(block[11], 1);
    EXPECT_EQ(block[78], 15);
    EXPECT_EQ(block[12], 1);
}

TEST_P(MouseEmulatorTest, TheSensorOfTheMouseConvertsTheDpi) {
    const std::array<uint8_t, 2> code = {0x25, 0x89};
    ASSERT_TRUE(Mouse().Poke(sim::SimArea::Info, 9, code));
    ASSERT_EQ(controller_.ReadInfo(), kResultOk);
    ASSERT_EQ(controller_.ReadSettingsFromDevice(), kResultOk);
    EXPECT_EQ(controller_.SetStageDpi(2, 5100), 100);
    EXPECT_EQ(controller_.StageDpi(2), 5100);
    ASSERT_EQ(controller_.WriteSettingsToDevice(), kResultOk);
    EXPECT_EQ(Mouse().SettingsBlock(0)[14 + 18 + 2], 100);
}

TEST_P(MouseEmulatorTest, KeyMapWriteRenumbersMacros) {
    ASSERT_EQ(controller_.ReadDevice(), kResultOk);
    controller_.SetButton(1, {0x70, 4, 1});
    controller_.SetButton(2, {0x70, 2, 1});
    std::vector<int> order;
    ASSERT_EQ(controller_.WriteKeyMapToDevice(0, 6, &order), kResultOk);
    EXPECT_EQ(order, (std::vector<int>{4, 2}));
    const auto map = Mouse().KeyMap();
    EXPECT_EQ((std::array{map[3], map[4], map[6], map[7]}), (std::array<uint8_t, 4>{0x70, 0, 0x70, 1}));
    EXPECT_EQ(map[0], 0x10);  // left unchanged
    EXPECT_EQ(controller_.WriteKeyMapToDevice(1, 6), kResultBadBank);
}

// The macro block holds the macros the buttons use in the order the key map numbers them.
TEST_P(MouseEmulatorTest, MacrosFollowTheKeyMapNumbering) {
    const std::filesystem::path folder =
        std::filesystem::path(::testing::TempDir()) / ("q208-mouse-macros-" + std::string(GetParam().name));
    std::filesystem::create_directories(folder);
    Json::Value index;
    for (int m = 0; m < 3; ++m) {
        const std::string guid = "macro" + std::to_string(m);
        Json::Value entry;
        entry["MacroName"] = guid;
        entry["Guid"] = guid;
        index["MacroInfo"].append(entry);
        Json::Value file;
        file["Events"] = Json::Value(Json::arrayValue);
        for (int e = 0; e <= m; ++e) {  // macro m has m + 1 events
            Json::Value event;
            event["Action"] = "down";
            event["Type"] = 10;
            event["Button"] = 4;
            event["Delay"] = 10;
            file["Events"].append(event);
        }
        ASSERT_EQ(WriteJsonFile(file, folder / (guid + ".mac")), 0);
    }
    ASSERT_EQ(WriteJsonFile(index, folder / "macro.config"), 0);
    ASSERT_EQ(MouseController::MacroCount(folder), 3);

    ASSERT_EQ(controller_.ReadDevice(), kResultOk);
    controller_.SetButton(1, {0x70, 2, 0});
    controller_.SetButton(2, {0x70, 0, 0});
    ASSERT_EQ(controller_.WriteKeyMapToDevice(0, 3), kResultOk);
    ASSERT_EQ(controller_.WriteMacrosToDevice(folder), kResultOk);
    const auto block = Mouse().AreaBytes(sim::SimArea::MacroData);
    ASSERT_GE(block.size(), 32u);
    EXPECT_EQ(block[0], 0xAA);
    EXPECT_EQ(block[4], 2);  // two macros
    const size_t first = block[16] | (block[17] << 8);
    EXPECT_EQ(block[first], 3) << "macro 2 (three events) comes first, as number 0";
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Paths, MouseEmulatorTest,
                         ::testing::Values(MousePath{"Cable", false, true}, MousePath{"Receiver", true, true},
                                           MousePath{"CableEmptyProfile", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Behind the receiver a sleeping mouse gets nothing, even while the keyboard is linked.
TEST(MouseAsleepTest, WritesSendNothingAndThePageSaysSo) {
    auto bus = std::make_shared<SimBus>();
    sim::SimDeviceSet devices(bus);
    devices.PlugAll({sim::SimDeviceKind::Mouse, sim::SimDeviceKind::Receiver});
    CVantorixMouseDevice device(bus);
    ASSERT_TRUE(device.CommandChannel().OpenPath(devices.CommandPath(sim::SimDeviceKind::Receiver),
                                                 CDeviceChannel::kLinkReceiver, kMouseTarget));
    EXPECT_TRUE(device.IsOnline());
    EXPECT_EQ(device.WriteLightingToDevice(0, 0), kResultOk);
    EXPECT_FALSE(device.ShowsAsleep());

    ASSERT_TRUE(devices.SetLinked(sim::SimDeviceKind::Mouse, false));
    const uint32_t writes = devices.Mouse()->CommandsSeen(kWriteConfig);
    const uint32_t keyMaps = devices.Mouse()->CommandsSeen(kWriteKeyMap);
    EXPECT_FALSE(device.IsOnline());
    EXPECT_EQ(device.WriteLightingToDevice(0, 0), kResultUnreachable);
    EXPECT_FALSE(device.WriteKeyMapToDevice());
    EXPECT_TRUE(device.ShowsAsleep());
    EXPECT_EQ(devices.Mouse()->CommandsSeen(kWriteConfig), writes);
    EXPECT_EQ(devices.Mouse()->CommandsSeen(kWriteKeyMap), keyMaps);

    ASSERT_TRUE(devices.SetLinked(sim::SimDeviceKind::Mouse, true));
    EXPECT_EQ(device.WriteLightingToDevice(0, 0), kResultOk);
    EXPECT_FALSE(device.ShowsAsleep());
}

}  // namespace
}  // namespace q208
