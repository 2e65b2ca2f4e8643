#include "headset_panels/CVoice2907ControlUI.h"

#include <memory>

#include "ui/CComboUI.h"
#include "ui/CEditUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/COptionUI.h"
#include "ui/CSliderUI.h"

namespace q208 {
namespace {
constexpr int kNoValue = -1;
}

void* CVoice2907ControlUI::GetInterface(std::string_view name) {
    if (name == kClassName) return this;
    return CHorizontalLayoutUI::GetInterface(name);
}

void CVoice2907ControlUI::SelectEqPreset(int preset) {
    for (int n = 1; n <= kPresets; ++n) {
        if (auto* option = controls_.Get<COptionUI>(kPresetPrefix + std::to_string(n))) option->Selected(false, false);
    }
    selected_ = 0;
    if (preset < 1 || preset > kPresets) return;
    if (auto* option = controls_.Get<COptionUI>(kPresetPrefix + std::to_string(preset))) option->Selected(true, false);
    selected_ = preset;
}

int CVoice2907ControlUI::GetEqSlider(int band) {
    auto* slider = controls_.Get<CSliderUI>(kBandPrefix + std::to_string(band));
    return slider ? slider->GetValue() : kNoValue;
}

void CVoice2907ControlUI::SetEqSlider(int band, int value) {
    if (auto* slider = controls_.Get<CSliderUI>(kBandPrefix + std::to_string(band))) slider->SetValue(value);
}

void CVoice2907ControlUI::SetMicInOn(bool on) {
    if (auto* option = controls_.Get<COptionUI>(kMicOption)) option->Selected(on, false);
}

void CVoice2907ControlUI::SetMicMonitorOn(bool on) {
    if (auto* option = controls_.Get<COptionUI>(kMonitorOption)) option->Selected(on, false);
}

int CVoice2907ControlUI::GetMicInLevel() {
    auto* slider = controls_.Get<CSliderUI>(kMicSlider);
    return slider ? slider->GetValue() : kNoValue;
}

int CVoice2907ControlUI::GetMicMonitorLevel() {
    auto* slider = controls_.Get<CSliderUI>(kMonitorSlider);
    return slider ? slider->GetValue() : kNoValue;
}

void CVoice2907ControlUI::SetMicInLevel(int value) {
    if (auto* slider = controls_.Get<CSliderUI>(kMicSlider)) slider->SetValue(value);
}

void CVoice2907ControlUI::SetMicMonitorLevel(int value) {
    if (auto* slider = controls_.Get<CSliderUI>(kMonitorSlider)) slider->SetValue(value);
}

void CVoice2907ControlUI::EnableCustomEq(bool enable) {
    if (CControlUI* layout = controls_.Get<CControlUI>(kCustomLayout)) layout->SetEnabled(enable);
}

void CVoice2907ControlUI::AddCustomEqName(const std::string& name) {
    auto* combo = controls_.Get<CComboUI>(kCustomCombo);
    if (!combo) return;
    auto item = std::make_unique<CListLabelElementUI>();
    item->SetFixedHeight(kNameItemHeight);
    item->SetResourceText(false);
    item->SetText(name);
    item->SetUserData(name);
    combo->Add(std::move(item));
}

void CVoice2907ControlUI::RemoveCustomEqName(int index) {
    if (auto* combo = controls_.Get<CComboUI>(kCustomCombo); combo && index >= 0 && index < combo->GetCount())
        combo->RemoveAt(index);
}

void CVoice2907ControlUI::ClearCustomEqNames() {
    if (auto* combo = controls_.Get<CComboUI>(kCustomCombo)) combo->RemoveAll();
}

int CVoice2907ControlUI::GetCustomEqCount() {
    auto* combo = controls_.Get<CComboUI>(kCustomCombo);
    return combo ? combo->GetCount() : 0;
}

int CVoice2907ControlUI::GetSelectedCustomEq() {
    auto* combo = controls_.Get<CComboUI>(kCustomCombo);
    return combo ? combo->GetCurSel() : -1;
}

std::string CVoice2907ControlUI::GetCustomEqName(int index) {
    auto* combo = controls_.Get<CComboUI>(kCustomCombo);
    if (!combo || index < 0 || index >= combo->GetCount()) return {};
    CControlUI* item = combo->GetItemAt(index);
    return item ? item->GetUserData() : std::string();
}

void CVoice2907ControlUI::SelectCustomEq(int index) {
    if (auto* combo = controls_.Get<CComboUI>(kCustomCombo)) combo->SelectItem(index, false, false);
    if (auto* edit = controls_.Get<CEditUI>(kCustomEdit)) edit->SetText("");
}

std::string CVoice2907ControlUI::GetCustomEqNameText() {
    auto* edit = controls_.Get<CEditUI>(kCustomEdit);
    return edit ? edit->GetText() : std::string();
}

}  // namespace q208
