// The mouse pad's block against the emulated pad, and the pad's device object as the page
// uses it: what a read shows, what a change writes, and what a failed write says.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "device/CDeviceChannel.h"
#include "device/DeviceResult.h"
#include "device/SimBus.h"
#include "devices/DeviceTestSupport.h"
#include "devices/mousepad/CVantorixMousePadDevice.h"
#include "devices/mousepad/MousePadController.h"
#include "profile/ProfilePaths.h"
#include "sim/SimDeviceSet.h"
#include "sim/SimLightingPeripheral.h"

namespace q208 {
namespace {

using Block = MousePadSettingsBlock;
using sim::SimDeviceKind;

constexpr uint8_t kBeginConfig = 0x01;
constexpr uint8_t kEndConfig = 0x02;
constexpr uint8_t kReadInfo = 0x03;
constexpr uint8_t kWriteConfig = 0x06;

class MousePadEmulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        devices_.Plug(SimDeviceKind::MousePad);
        ASSERT_TRUE(channel_.OpenPath(devices_.CommandPath(SimDeviceKind::MousePad), CDeviceChannel::kLinkWired, 0));
        controller_.LoadModes(KeyboardEffectList::DefaultFile());
        profile_.SetDefaultPath(DefaultProfileFile(kMousePadFolder));
        controller_.LoadProfile({});
    }
    sim::SimLightingPeripheral& Pad() {
        return static_cast<sim::SimLightingPeripheral&>(*devices_.Device(SimDeviceKind::MousePad));
    }

    std::shared_ptr<SimBus> bus_ = std::make_shared<SimBus>();
    sim::SimDeviceSet devices_{bus_};
    CDeviceChannel channel_{bus_};
    CBasicProfiledata profile_;
    MousePadController controller_{channel_, profile_};
};

TEST_F(MousePadEmulatorTest, AReadAfterAWriteOfBlockZeroGivesBackWhatWasWritten) {
    ASSERT_EQ(controller_.ReadInfo(), kResultOk);
    EXPECT_EQ(controller_.Info()[4], 3);  // the kind the pad reports
    ASSERT_EQ(controller_.ReadSettingsFromDevice(), kResultOk);
    EXPECT_EQ(controller_.Block()[Block::kMode], 1);
    const LightInfoRecord before = profile_.GetLightInfo();

    LightInfoRecord light = controller_.BlockLight();
    light.selectItem = 7;
    light.speed = 4;
    light.red = 9;
    controller_.SetLight(light);
    controller_.Initialize();
    const Block::Bytes written = controller_.Block();
    ASSERT_EQ(controller_.WriteSettingsToDevice(), kResultOk);
    EXPECT_EQ(Pad().LightingBlockAt(0)[Block::kSpeed], 0);  // level 4 on the pad is 0
    EXPECT_EQ(Pad().LightingBlockAt(0)[9], 0x05);           // the pad's own byte came back

    controller_.SetLight(before);
    controller_.Initialize();
    ASSERT_EQ(controller_.ReadSettingsFromDevice(), kResultOk);
    EXPECT_EQ(controller_.Block(), written);
}

TEST_F(MousePadEmulatorTest, TheActiveBlockIsReadAtNTimes25AndAReadLeavesTheProfile) {
    const std::array<uint8_t, 6> block1 = {1, 3, 2, 1, 0, 0};
    ASSERT_TRUE(Pad().Poke(sim::SimArea::Config, 25, block1));
    const std::array<uint8_t, 1> active = {1};
    ASSERT_TRUE(Pad().Poke(sim::SimArea::Config, 0, active));
    const LightInfoRecord before = profile_.GetLightInfo();
    ASSERT_EQ(controller_.ReadSettingsFromDevice(), kResultOk);
    EXPECT_EQ(controller_.BlockNumber(), 1);
    EXPECT_EQ(controller_.Block()[Block::kMode], 3);
    EXPECT_EQ(controller_.Block()[Block::kSpeed], 3);
    const LightInfoRecord after = profile_.GetLightInfo();
    EXPECT_EQ(after.selectItem, before.selectItem);
    EXPECT_EQ(after.speed, before.speed);
}

TEST_F(MousePadEmulatorTest, AWriteTheFirmwareRefusesIsReportedAndAClosedChannelSendsNothing) {
    Pad().faults().statusRefused = 1;  // BeginConfig refused: nothing is written
    const uint32_t writes = Pad().CommandsSeen(kWriteConfig);
    EXPECT_EQ(controller_.WriteSettingsToDevice(), kResultStatusFF);
    EXPECT_EQ(Pad().CommandsSeen(kWriteConfig), writes);

    // A refused write still closes the session it opened.
    Pad().faults().Clear();
    const uint32_t ends = Pad().CommandsSeen(kEndConfig);
    int reports = 0;
    devices_.SetOutputObserver([&](SimDeviceKind) {
        if (++reports == 2) Pad().faults().statusBadChecksum = 1;  // the write, after BeginConfig
    });
    EXPECT_EQ(controller_.WriteSettingsToDevice(), kResultStatusFE);
    devices_.SetOutputObserver({});
    EXPECT_EQ(reports, 3);
    EXPECT_EQ(Pad().CommandsSeen(kEndConfig), ends + 1);

    channel_.CloseAll();
    const uint32_t begins = Pad().CommandsSeen(kBeginConfig);
    EXPECT_EQ(controller_.WriteSettingsToDevice(), kResultNoAnswer);
    EXPECT_EQ(controller_.ReadSettingsFromDevice(), kResultNoAnswer);
    EXPECT_EQ(Pad().CommandsSeen(kBeginConfig), begins);
}

class MousePadDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Each test starts from the factory profile.
        std::filesystem::remove_all(DeviceUserFolder(kMousePadFolder));
        devices_.Plug(SimDeviceKind::MousePad);
        ASSERT_TRUE(device_.CommandChannel().OpenPath(devices_.CommandPath(SimDeviceKind::MousePad),
                                                      CDeviceChannel::kLinkWired, 0));
    }
    sim::SimLightingPeripheral& Pad() {
        return static_cast<sim::SimLightingPeripheral&>(*devices_.Device(SimDeviceKind::MousePad));
    }
    // The profile file as saved.
    LightInfoRecord Saved() {
        CBasicProfiledata saved;
        saved.LoadSection(device_.Profile().GetPath());
        return saved.GetLightInfo();
    }

    std::shared_ptr<SimBus> bus_ = std::make_shared<SimBus>();
    sim::SimDeviceSet devices_{bus_};
    CVantorixMousePadDevice device_{bus_};
};

TEST_F(MousePadDeviceTest, ConnectingShowsThePadsLightingAndAChangeWritesTheProfileToThePad) {
    device_.ReadDevice();
    EXPECT_TRUE(device_.IsPreviewRunning());
    EXPECT_EQ(Pad().CommandsSeen(kReadInfo), 1u);
    EXPECT_FALSE(Pad().InConfigSession());
    // The pad has mode 1; the factory profile has mode 0 and is not changed by the read.
    EXPECT_EQ(device_.GetLightState().effect, 1);
    EXPECT_EQ(Saved().selectItem, 0);
    ASSERT_FALSE(device_.Profile().GetPath().empty());

    device_.OnColour(0xFF00FF00);
    auto block = Pad().LightingBlockAt(0);
    EXPECT_EQ(block[Block::kMode], 1);  // what the page showed, with the change
    EXPECT_EQ(block[Block::kRed], 0);
    EXPECT_EQ(block[Block::kGreen], 255);
    EXPECT_EQ(Saved().selectItem, 1);
    EXPECT_EQ(Saved().green, 255);
    EXPECT_FALSE(device_.ShowsWriteFailed());

    device_.OnEffect(9);  // written with mode 0's code
    EXPECT_EQ(Pad().LightingBlockAt(0)[Block::kMode], 0);
    EXPECT_EQ(Saved().selectItem, 9);
    device_.OnSpeed(4);
    EXPECT_EQ(Pad().LightingBlockAt(0)[Block::kSpeed], 0);
    EXPECT_EQ(device_.GetLightState().speedLevel, 4);
}

TEST_F(MousePadDeviceTest, AFailedWriteIsShownAndTheNextGoodOneClearsIt) {
    device_.ReadDevice();
    Pad().faults().statusRefused = sim::FaultCounter::kAlways;
    device_.OnBrightness(1);
    EXPECT_TRUE(device_.ShowsWriteFailed());
    EXPECT_FALSE(device_.WriteLightingToDevice());
    Pad().faults().Clear();
    device_.OnBrightness(2);
    EXPECT_FALSE(device_.ShowsWriteFailed());
    EXPECT_EQ(Pad().LightingBlockAt(0)[Block::kBrightness], 2);
}

TEST_F(MousePadDeviceTest, ARefreshShowsWhatThePadHasNowAndAProfileSwitchWritesTheProfile) {
    device_.ReadDevice();
    const std::array<uint8_t, 3> changed = {8, 2, 0};  // mode 8 (off), brightness 2, speed byte 0
    ASSERT_TRUE(Pad().Poke(sim::SimArea::Config, 1, changed));
    device_.RefreshFromDevice();
    EXPECT_EQ(device_.GetLightState().effect, 8);
    EXPECT_EQ(device_.GetLightState().speedLevel, 4);
    device_.PreviewStep(8);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(device_.KeyColours().Get(i).intensity, 0);

    // The profile (mode 0 of the factory) goes to the pad again.
    EXPECT_TRUE(device_.WriteProfileToDevice());
    EXPECT_EQ(Pad().LightingBlockAt(0)[Block::kMode], 0);
    EXPECT_EQ(device_.GetLightState().effect, 0);

    // Reset to the factory lighting after a change.
    device_.OnEffect(3);
    device_.ApplyExtra();
    EXPECT_EQ(Saved().selectItem, 0);
}

}  // namespace
}  // namespace q208
