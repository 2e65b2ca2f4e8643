#include <gtest/gtest.h>

#include "editors/CLightControlUI.h"
#include "platform/Paths.h"
#include "ui/CControlFactory.h"
#include "ui/CDialogBuilder.h"
#include "ui/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CSliderUI.h"

namespace q208 {
namespace {

class LightControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        CControlFactory::GetInstance().RegistControl(CLightControlUI::kClassName,
                                                     [] { return std::make_unique<CLightControlUI>(); });
        root_ = CDialogBuilder().Create((FindDataRoot().skin / CLightControlUI::kLayoutFile).string(), nullptr, &pm_);
        ASSERT_NE(root_, nullptr);
        panel_ = static_cast<CLightControlUI*>(root_->GetInterface(CLightControlUI::kClassName));
        ASSERT_NE(panel_, nullptr);
        std::vector<std::string> names(34, "light_kbd_effect_0");
        panel_->SetEffectList(names, std::vector<bool>(34, true), 4, 4);
    }
    CControlUI* Find(const char* name) { return pm_.FindSubControlByName(root_.get(), name); }
    bool Enabled(const char* name) { return Find(name)->IsEnabled(); }
    bool Visible(const char* name) { return Find(name)->IsVisible(); }

    CPaintManagerUI pm_;
    std::unique_ptr<CControlUI> root_;
    CLightControlUI* panel_ = nullptr;
};

TEST_F(LightControlTest, KeyboardWordsShowEveryControlAndAnUnknownEffectDisablesAllButTheEffectRow) {
    panel_->SetDeviceKind(1);
    panel_->ShowLightSettings(0x01020314, 0x00FF8000, 0);
    EXPECT_EQ(panel_->GetEffect(), 20);
    EXPECT_EQ(panel_->GetBrightness(), 3);
    EXPECT_EQ(panel_->GetSpeed(), 2);
    EXPECT_EQ(panel_->GetDirection(), 1);
    EXPECT_TRUE(static_cast<COptionUI*>(Find("deng_FXL_check"))->IsSelected());
    EXPECT_TRUE(Enabled("lighteffect_layout"));
    for (const char* name : {"deng_7color_check", "deng_color_layout", "colorpallet_layout", "deng_light_layout",
                             "deng_speed_layout", "deng_fx_layout"})
        EXPECT_FALSE(Enabled(name)) << name;
    EXPECT_EQ(panel_->GetSevenColour(), 0);
    EXPECT_EQ(panel_->GetRedText(), "128");
    EXPECT_EQ(panel_->GetGreenText(), "255");
    EXPECT_EQ(panel_->GetBlueText(), "0");
    EXPECT_EQ(Find("deng_colordp_btn")->GetBkColor(), 0xFF80FF00u);
    EXPECT_EQ(panel_->GetSelectedColour(), 0xFF80FF00u);
}

TEST_F(LightControlTest, CustomEffectShowsItsLayoutAndHidesSpeedUntilAnotherEffect) {
    panel_->SetDeviceKind(1);
    panel_->SelectEffect(18);
    EXPECT_TRUE(Visible("lightcustom_layout"));
    EXPECT_FALSE(Visible("deng_speed_layout"));
    EXPECT_TRUE(Enabled("deng_color_layout"));
    EXPECT_FALSE(Enabled("light_color_layout"));
    panel_->SelectEffect(1);  // the keyboard table resets before each effect
    EXPECT_FALSE(Visible("lightcustom_layout"));
    EXPECT_TRUE(Visible("deng_speed_layout"));
    EXPECT_TRUE(Enabled("light_color_layout"));
    panel_->SelectEffect(11);
    EXPECT_EQ(Find("deng_FXL_check")->GetText(), "light_set_down_to_up_text");
    panel_->SelectEffect(2);
    EXPECT_EQ(Find("deng_FXL_check")->GetText(), "light_set_right_to_left_text");
}

TEST_F(LightControlTest, OtherKindsUseTheirOwnTables) {
    panel_->SetDeviceKind(2);  // mouse
    panel_->SelectEffect(2);
    EXPECT_FALSE(Enabled("deng_rgb_layout"));
    EXPECT_TRUE(Enabled("deng_speed_layout"));
    panel_->SelectEffect(6);  // leaves the RGB layout as it was
    EXPECT_FALSE(Enabled("deng_rgb_layout"));
    EXPECT_FALSE(Enabled("deng_light_layout"));
    panel_->SelectEffect(0);
    EXPECT_TRUE(Enabled("deng_rgb_layout"));
    EXPECT_FALSE(Enabled("deng_speed_layout"));
    for (int kind : {3, 4, 7}) {
        panel_->SetDeviceKind(kind);
        panel_->SelectEffect(3);
        EXPECT_TRUE(Enabled("deng_color_layout")) << kind;
        EXPECT_FALSE(Enabled("deng_speed_layout")) << kind;
        panel_->SelectEffect(8);
        EXPECT_FALSE(Enabled("deng_light_layout")) << kind;
    }
    panel_->SetDeviceKind(5);
    panel_->SelectEffect(1);
    EXPECT_TRUE(Enabled("deng_color_layout"));
    EXPECT_FALSE(Enabled("deng_speed_layout"));
}

TEST_F(LightControlTest, SameModeIsOfferedOnlyWithSeveralDevicesAndASynchronisedEffect) {
    panel_->SetDeviceKind(1);
    panel_->SelectEffect(3);
    EXPECT_FALSE(Visible("deng_same_mode"));
    panel_->SetSameModeCapable(true);
    EXPECT_TRUE(Visible("deng_same_mode"));
    panel_->SelectEffect(1);
    EXPECT_FALSE(Visible("deng_same_mode"));
}

TEST_F(LightControlTest, PaletteMatchesTheFirstEqualSwatchElseSwatchZero) {
    EXPECT_EQ(panel_->FindPaletteIndex(0, 0, 255), 8);
    EXPECT_EQ(panel_->FindPaletteIndex(255, 255, 255), 12);
    EXPECT_EQ(panel_->FindPaletteIndex(1, 2, 3), 0);
}

TEST_F(LightControlTest, ASliderChangeComesBackAsTheDevicesRecordWithTheNewValue) {
    panel_->SetDeviceKind(1);
    LightInfoRecord current{};
    current.selectItem = 4;
    current.light = 1;
    current.red = 9;
    current.customGroup = 7;
    panel_->ShowDeviceLight(current);
    auto* slider = static_cast<CSliderUI*>(Find("deng_light_slider"));
    slider->SetValue(3);
    TNotifyUI msg;
    msg.sType = "valuechanged";
    msg.pSender = slider;
    const auto change = panel_->OnNotify(msg, current);
    ASSERT_TRUE(change);
    EXPECT_EQ(change->light.light, 3);
    EXPECT_EQ(change->light.red, 9);
    EXPECT_EQ(change->light.customGroup, 7);  // not the panel's: kept
    EXPECT_FALSE(change->effectChanged);
}

}  // namespace
}  // namespace q208
