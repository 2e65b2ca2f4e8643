// The headset's two panels over a layout, and over one that lacks their controls.
#include <gtest/gtest.h>

#include "../ui/UiTestSupport.h"
#include "devices/RegisterDeviceControls.h"
#include "headset_panels/CMagicControlUI.h"
#include "headset_panels/CVoice2907ControlUI.h"
#include "ui/CComboUI.h"
#include "ui/CEditUI.h"
#include "ui/COptionUI.h"

namespace q208::test {
namespace {

class HeadsetPanelsTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        RegisterDeviceControls();
        wnd_ = Open(R"(<Window size="600,300"><VerticalLayout>
            <MagicControlUI name="magic"><Option name="magic_enable_option"/>
              <HorizontalLayout name="magic_option_layout">
                <Option name="magic_option_1" group="v"/><Option name="magic_option_2" group="v"/>
                <Option name="magic_option_3" group="v"/><Option name="magic_option_4" group="v"/>
              </HorizontalLayout></MagicControlUI>
            <Voice2907ControlUI name="voice">
              <Option name="2907_eq_option_1" group="e"/><Option name="2907_eq_option_13" group="e"/>
              <Slider name="2907_eq_hz_slider_0" min="-20" max="20"/>
              <Combo name="custom_eq_name_combo"/><Edit name="custom_eq_name_edit"/>
            </Voice2907ControlUI>
            <Voice2907ControlUI name="bare"/></VerticalLayout></Window>)");
        magic_ = wnd_->Find<CMagicControlUI>("magic");
        voice_ = wnd_->Find<CVoice2907ControlUI>("voice");
        bare_ = wnd_->Find<CVoice2907ControlUI>("bare");
        ASSERT_TRUE(magic_ && voice_ && bare_);
    }
    bool Selected(const std::string& name) { return wnd_->Find<COptionUI>(name)->IsSelected(); }

    std::unique_ptr<TestWindow> wnd_;
    CMagicControlUI* magic_ = nullptr;
    CVoice2907ControlUI* voice_ = nullptr;
    CVoice2907ControlUI* bare_ = nullptr;
};

TEST_F(HeadsetPanelsTest, SelectionsOutOfRangeLeaveEveryOptionOffAndKeepZero) {
    magic_->SelectVoiceEffect(2);
    EXPECT_TRUE(Selected("magic_option_2"));
    magic_->SelectVoiceEffect(5);
    EXPECT_FALSE(Selected("magic_option_2"));
    EXPECT_EQ(magic_->GetSelectedVoiceEffect(), 0);
    voice_->SelectEqPreset(13);
    EXPECT_TRUE(Selected("2907_eq_option_13"));
    EXPECT_EQ(voice_->GetSelectedEqPreset(), 13);
    voice_->SelectEqPreset(14);
    EXPECT_FALSE(Selected("2907_eq_option_13"));
    EXPECT_EQ(voice_->GetSelectedEqPreset(), 0);
    magic_->SetVoiceEffectOn(true);
    EXPECT_TRUE(magic_->IsVoiceEffectOn());
    magic_->SetVoiceEffectOn(false);
    EXPECT_FALSE(wnd_->Find<CControlUI>("magic_option_layout")->IsEnabled());
}

TEST_F(HeadsetPanelsTest, CustomNamesArePlainTextAndSelectingOneEmptiesTheNameEdit) {
    voice_->AddCustomEqName("%{hs_eq_title}");
    voice_->AddCustomEqName("Night");
    EXPECT_EQ(voice_->GetCustomEqCount(), 2);
    EXPECT_EQ(voice_->GetCustomEqName(0), "%{hs_eq_title}");
    wnd_->Find<CEditUI>("custom_eq_name_edit")->SetText("typed");
    voice_->SelectCustomEq(1);
    EXPECT_EQ(voice_->GetSelectedCustomEq(), 1);
    EXPECT_EQ(voice_->GetCustomEqNameText(), "");
    voice_->RemoveCustomEqName(0);
    EXPECT_EQ(voice_->GetCustomEqName(0), "Night");
    voice_->SetEqSlider(0, -7);
    EXPECT_EQ(voice_->GetEqSlider(0), -7);
}

TEST_F(HeadsetPanelsTest, APanelWithoutItsControlsAnswersTheFallbacks) {
    EXPECT_EQ(voice_->GetEqSlider(4), -1);
    EXPECT_EQ(bare_->GetMicInLevel(), -1);
    EXPECT_EQ(bare_->GetMicMonitorLevel(), -1);
    EXPECT_EQ(bare_->GetCustomEqCount(), 0);
    EXPECT_EQ(bare_->GetSelectedCustomEq(), -1);
    EXPECT_EQ(bare_->GetCustomEqName(0), "");
    EXPECT_EQ(bare_->GetCustomEqNameText(), "");
    bare_->AddCustomEqName("x");
    bare_->SetMicInLevel(5);
    bare_->SelectEqPreset(3);
    EXPECT_EQ(bare_->GetSelectedEqPreset(), 3) << "the preset is kept without its option";
}

}  // namespace
}  // namespace q208::test
