#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/ProfileRecords.h"
#include "ui/CVerticalLayoutUI.h"
#include "ui/UiTypes.h"

namespace q208 {

struct TNotifyUI;
class CVantorixUSBDevice;

// The lighting panel of a device page: effect, brightness, speed, colour (edits, palette,
// swatches, colour button), seven-colour switch, direction, sub-mode, and the custom and
// audio layouts. The device owns the values; the panel shows them as three packed words
// and reads them back through the getters. Which controls an effect uses is fixed per
// device kind (LightEnableTables).
//
// UI thread only.
class CLightControlUI : public CVerticalLayoutUI {
public:
    static constexpr const char* kClassName = "LightControl";
    static constexpr const char* kSubLayoutName = "LightSetControlUI";
    static constexpr const char* kPanelName = "light_set_control";
    static constexpr const char* kLayoutFile = "XML/CustomControlXML/LightSetControl.xml";
    static constexpr const char* kEffectCombo = "light_combo_modeSelect";
    static constexpr const char* kSubModeCombo = "light_combo_ZZCCmodeSelect";
    static constexpr const char* kBrightnessSlider = "deng_light_slider";
    static constexpr const char* kSpeedSlider = "deng_speed_slider";
    static constexpr const char* kSevenColourCheck = "deng_7color_check";
    static constexpr const char* kLeftCheck = "deng_FXL_check";
    static constexpr const char* kRightCheck = "deng_FXR_check";
    static constexpr const char* kPalette = "deng_Color_Pallet";
    static constexpr const char* kColourButton = "deng_colordp_btn";
    static constexpr const char* kSameModeButton = "deng_same_mode";
    static constexpr const char* kSwatchPrefix = "color_option_";
    static constexpr int kSwatchCount = 13;
    static constexpr ARGB kOpaque = 0xFF000000;

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;
    // The panel that holds `control`, or null.
    static CLightControlUI* OfControl(CControlUI* control);

    // ---- what the device object sets ----
    void SetEffectList(const std::vector<std::string>& names, const std::vector<bool>& visible, int brightnessMax,
                       int speedMax);
    void SetDeviceKind(int kind) { kind_ = kind; }
    int GetDeviceKind() const { return kind_; }
    // Whether "deng_same_mode" may be offered (more than one device attached).
    void SetSameModeCapable(bool capable);
    void ShowLightSettings(uint32_t first, uint32_t second, uint32_t third);
    void SelectEffect(int position);
    int FindPaletteIndex(uint8_t red, uint8_t green, uint8_t blue) const;

    // Fills the panel for `device`: its kind, its effect list (from the effect file, the
    // device's list number), and its current lighting.
    void ShowDevice(CVantorixUSBDevice& device, bool severalDevices);

    // ---- the getters the device reads back ----
    int GetEffect() const;
    int GetBrightness() const;
    int GetSpeed() const;
    int GetSevenColour() const;
    int GetDirection() const;
    int GetSubMode() const;
    ARGB GetSelectedColour() const;
    std::string GetRedText() const;
    std::string GetGreenText() const;
    std::string GetBlueText() const;

    // ---- between the panel and a device's lighting record ----
    static std::array<uint32_t, 3> WordsOf(const LightInfoRecord& light);
    void ShowDeviceLight(const LightInfoRecord& light);
    struct Change {
        LightInfoRecord light;
        bool effectChanged = false;
    };
    // A notification of one of the panel's controls: the device's lighting with the user's
    // change, or nothing when the panel has no use for it.
    std::optional<Change> OnNotify(TNotifyUI& msg, const LightInfoRecord& current);

private:
    CControlUI* Find(std::string_view name) const;
    void ApplyEnableTable(int effect);
    void ShowColour(uint8_t red, uint8_t green, uint8_t blue);
    LightInfoRecord Read(const LightInfoRecord& current) const;

    int kind_ = 1;
    bool sameModeCapable_ = false;
};

}  // namespace q208
