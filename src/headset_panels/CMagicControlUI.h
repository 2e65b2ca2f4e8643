#pragma once

#include <cstdint>

#include "headset_panels/PanelControls.h"
#include "ui/CHorizontalLayoutUI.h"

namespace q208 {

// The headset's voice-effect panel: the enable option and the four effect options.
class CMagicControlUI : public CHorizontalLayoutUI {
public:
    static constexpr const char* kClassName = "MagicControlUI";
    static constexpr const char* kEnableOption = "magic_enable_option";
    static constexpr const char* kOptionLayout = "magic_option_layout";
    static constexpr const char* kOptionPrefix = "magic_option_";
    static constexpr int kEffects = 4;

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;

    bool IsVoiceEffectOn();
    void SetVoiceEffectOn(bool on);
    // 1 … 4 selects that effect; anything else selects none and keeps 0.
    void SelectVoiceEffect(int effect);
    int GetSelectedVoiceEffect() const { return selected_; }

private:
    PanelControls controls_{*this};
    int32_t selected_ = 0;
};

}  // namespace q208
