#include <array>
#include <cstdint>

#include <gtest/gtest.h>

#include "../ui/UiTestSupport.h"
#include "controls/CMpDevicePowerUI.h"
#include "device/DeviceSlot.h"
#include "ui/CControlFactory.h"
#include "ui/CProgressUI.h"

namespace q208::test {
namespace {

constexpr const char* kPanel = R"(<Window size="400,40"><MpDevicePower name="panel">
    <HorizontalLayout name="device_power_Layout" visible="false">
      <Label name="device_wuxian_logo" visible="false"/>
      <Progress name="device_Power_progress" min="0" max="100" visible="false"/>
      <Label name="device_power_value"/>
      <Control name="device_power_status"/>
      <Control name="device_phone_type"/>
    </HorizontalLayout></MpDevicePower></Window>)";

using Block = std::array<uint8_t, 6>;

class MpDevicePowerTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        CControlFactory::GetInstance().RegistControl(CMpDevicePowerUI::kClassName,
                                                     [] { return std::make_unique<CMpDevicePowerUI>(); });
    }
    void Open(const char* xml, int kind) {
        wnd_ = UiTest::Open(xml);
        panel_ = wnd_->Find<CMpDevicePowerUI>("panel");
        ASSERT_NE(panel_, nullptr);
        panel_->SetKindAndRole(kind, 0);
    }
    void Show(const Block& block) { panel_->ShowStatus(block.data(), block.size()); }
    std::string Text(const char* name) { return wnd_->Find(name)->GetText(); }
    std::string Image(const char* name) { return wnd_->Find(name)->GetBkImage(); }
    int Bar() { return wnd_->Find<CProgressUI>("device_Power_progress")->GetValue(); }

    std::unique_ptr<TestWindow> wnd_;
    CMpDevicePowerUI* panel_ = nullptr;
};

TEST_F(MpDevicePowerTest, ShowsLevelBarChargeImageAndWirelessMark) {
    Open(kPanel, kKindMouse);
    Show({57, 1, 0, 1, 0, 0});
    EXPECT_EQ(Text("device_power_value"), "57%");
    EXPECT_EQ(panel_->GetBatteryLevel(), 57);
    EXPECT_EQ(Bar(), 43);
    EXPECT_TRUE(wnd_->Find("device_Power_progress")->IsVisible());
    EXPECT_EQ(Image("device_power_status"), "file='power/powering.png'");
    EXPECT_TRUE(wnd_->Find("device_wuxian_logo")->IsVisible());

    Show({100, 0, 0, 0, 0, 0});
    EXPECT_EQ(Text("device_power_value"), "100%");
    EXPECT_EQ(Image("device_power_status"), "file='power/powered.png'");
    EXPECT_FALSE(wnd_->Find("device_wuxian_logo")->IsVisible());
    Show({5, 2, 0, 0, 0, 0});
    EXPECT_EQ(Image("device_power_status"), "file='power/power.png'");
}

TEST_F(MpDevicePowerTest, LevelAboveHundredKeepsTheNumberAndKeepsTheBarInRange) {
    Open(kPanel, kKindKeyboard);
    Show({40, 0, 0, 0, 0, 0});
    Show({0xC8, 0, 0, 0, 0, 0});
    EXPECT_EQ(Text("device_power_value"), "40%");
    EXPECT_EQ(panel_->GetBatteryLevel(), 40);
    EXPECT_EQ(Bar(), 0);  // 100 - 200 would be below the bar's range
}

TEST_F(MpDevicePowerTest, UnknownChargeStateLeavesTheImage) {
    Open(kPanel, kKindMouse);
    Show({50, 2, 0, 0, 0, 0});
    Show({50, 3, 0, 0, 0, 0});
    EXPECT_EQ(Image("device_power_status"), "file='power/power.png'");
    Show({50, 0xFF, 0, 0, 0, 0});
    EXPECT_EQ(Image("device_power_status"), "file='power/power.png'");
}

TEST_F(MpDevicePowerTest, PhoneTypeOnlyOnTheMousePad) {
    Open(kPanel, kKindMousePad);
    const std::array<std::pair<uint8_t, const char*>, 5> cases{{
        {1, "Phone_type_iphone"}, {2, "Phone_type_samsung"}, {3, "Phone_type_other"},
        {0, "Phone_type_no_device"}, {9, "Phone_type_no_device"},
    }};
    for (const auto& [type, name] : cases) {
        Show({50, 0, 0, 0, 0, type});
        EXPECT_EQ(wnd_->Find("device_phone_type")->GetToolTip(), name) << int(type);
        EXPECT_EQ(Image("device_phone_type"), std::string("file='power/") + name + ".png'");
    }
    Open(kPanel, kKindMouse);
    Show({50, 0, 0, 0, 0, 1});
    EXPECT_EQ(Image("device_phone_type"), "");
}

TEST_F(MpDevicePowerTest, PanelMissingAPartIgnoresEveryBlock) {
    Open(R"(<Window size="400,40"><MpDevicePower name="panel">
        <Label name="device_power_value" text="--"/><Label name="device_wuxian_logo"/>
        <Progress name="device_Power_progress"/><Control name="device_power_status"/>
        </MpDevicePower></Window>)", kKindMousePad);
    Show({57, 1, 0, 1, 0, 1});
    EXPECT_EQ(Text("device_power_value"), "--");
    EXPECT_EQ(Image("device_power_status"), "");
}

TEST_F(MpDevicePowerTest, ShortBlockReadsAsZeroesAndTheLayoutAndLogoSwitch) {
    Open(kPanel, kKindMousePad);
    const uint8_t level = 30;
    panel_->ShowStatus(&level, 1);
    EXPECT_EQ(Text("device_power_value"), "30%");
    EXPECT_EQ(Image("device_power_status"), "file='power/powered.png'");
    EXPECT_EQ(Image("device_phone_type"), "file='power/Phone_type_no_device.png'");

    panel_->ShowPowerLayout(true);
    EXPECT_TRUE(wnd_->Find("device_power_Layout")->IsVisible());
    EXPECT_TRUE(panel_->ShowWirelessLogo(true));
    EXPECT_TRUE(wnd_->Find("device_wuxian_logo")->IsVisible());
    auto* asInterface = static_cast<IDevicePowerPanel*>(panel_->GetInterface(IDevicePowerPanel::kInterfaceName));
    EXPECT_EQ(asInterface, static_cast<IDevicePowerPanel*>(panel_));
}

}  // namespace
}  // namespace q208::test
