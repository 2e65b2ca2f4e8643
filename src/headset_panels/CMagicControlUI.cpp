#include "headset_panels/CMagicControlUI.h"

#include "ui/COptionUI.h"

namespace q208 {

void* CMagicControlUI::GetInterface(std::string_view name) {
    if (name == kClassName) return this;
    return CHorizontalLayoutUI::GetInterface(name);
}

bool CMagicControlUI::IsVoiceEffectOn() {
    auto* option = controls_.Get<COptionUI>(kEnableOption);
    return option && option->IsSelected();
}

void CMagicControlUI::SetVoiceEffectOn(bool on) {
    auto* option = controls_.Get<COptionUI>(kEnableOption);
    if (!option) return;
    option->Selected(on, false);
    if (CControlUI* layout = controls_.Get<CControlUI>(kOptionLayout)) layout->SetEnabled(on);
}

void CMagicControlUI::SelectVoiceEffect(int effect) {
    for (int n = 1; n <= kEffects; ++n) {
        if (auto* option = controls_.Get<COptionUI>(kOptionPrefix + std::to_string(n))) option->Selected(false, false);
    }
    selected_ = 0;
    if (effect < 1 || effect > kEffects) return;
    if (auto* option = controls_.Get<COptionUI>(kOptionPrefix + std::to_string(effect))) option->Selected(true, false);
    selected_ = effect;
}

}  // namespace q208
