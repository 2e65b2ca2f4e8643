#pragma once

#include <cstdint>
#include <string>

#include "headset_panels/PanelControls.h"
#include "ui/CHorizontalLayoutUI.h"

namespace q208 {

// The headset's equaliser and microphone panel: the preset options, the band sliders, the
// custom-preset drop-down and name edit, and the microphone and monitoring controls.
class CVoice2907ControlUI : public CHorizontalLayoutUI {
public:
    static constexpr const char* kClassName = "Voice2907ControlUI";
    static constexpr const char* kPresetPrefix = "2907_eq_option_";
    static constexpr const char* kBandPrefix = "2907_eq_hz_slider_";
    static constexpr const char* kMicOption = "2907_MicIn_option";
    static constexpr const char* kMonitorOption = "2907_MicMoniter_option";
    static constexpr const char* kMicSlider = "2907_MicIn_slider";
    static constexpr const char* kMonitorSlider = "2907_MicMoniter_slider";
    static constexpr const char* kCustomLayout = "custom_eq_option_layout";
    static constexpr const char* kCustomCombo = "custom_eq_name_combo";
    static constexpr const char* kCustomEdit = "custom_eq_name_edit";
    static constexpr int kPresets = 13;
    static constexpr int kNameItemHeight = 30;

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;

    // 1 … 13 selects that preset; anything else selects none and keeps 0.
    void SelectEqPreset(int preset);
    int GetSelectedEqPreset() const { return selected_; }
    int GetEqSlider(int band);
    void SetEqSlider(int band, int value);
    void SetMicInOn(bool on);
    void SetMicMonitorOn(bool on);
    int GetMicInLevel();
    int GetMicMonitorLevel();
    void SetMicInLevel(int value);
    void SetMicMonitorLevel(int value);
    void EnableCustomEq(bool enable);
    void AddCustomEqName(const std::string& name);
    void RemoveCustomEqName(int index);
    void ClearCustomEqNames();
    int GetCustomEqCount();
    int GetSelectedCustomEq();
    std::string GetCustomEqName(int index);
    void SelectCustomEq(int index);
    std::string GetCustomEqNameText();

private:
    PanelControls controls_{*this};
    int32_t selected_ = 0;
};

}  // namespace q208
