#include "editors/CLightControlUI.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "devices/base/CVantorixUSBDevice.h"
#include "devices/lighting/KeyboardEffectList.h"
#include "devices/lighting/LightSync.h"
#include "editors/LightEnableTables.h"
#include "ui/CColorPaletteUI.h"
#include "ui/CComboUI.h"
#include "ui/CEditUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/CSliderUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/UiDefs.h"

namespace q208 {

namespace {

constexpr int kItemHeight = 30;
constexpr const char* kRedEdit = "deng_edit_R";
constexpr const char* kGreenEdit = "deng_edit_G";
constexpr const char* kBlueEdit = "deng_edit_B";
constexpr const char* kColourTabs = "light_color_tablayout";

uint8_t Byte(uint32_t word, int index) { return static_cast<uint8_t>(word >> (8 * index)); }

std::string Decimal(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

uint8_t EditValue(const std::string& text, uint8_t fallback) {
    if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return fallback;
    return static_cast<uint8_t>(std::min(std::atoi(text.c_str()), 255));
}

void Apply(CControlUI* control, Tri state) {
    if (control && state != Tri::Keep) control->SetEnabled(state == Tri::On);
}

}  // namespace

void* CLightControlUI::GetInterface(std::string_view name) {
    if (name == kClassName) return this;
    return CVerticalLayoutUI::GetInterface(name);
}

CLightControlUI* CLightControlUI::OfControl(CControlUI* control) {
    for (; control; control = control->GetParent()) {
        if (auto* panel = static_cast<CLightControlUI*>(control->GetInterface(kClassName))) return panel;
    }
    return nullptr;
}

CControlUI* CLightControlUI::Find(std::string_view name) const {
    CPaintManagerUI* manager = GetManager();
    return manager ? manager->FindSubControlByName(const_cast<CLightControlUI*>(this), name) : nullptr;
}

void CLightControlUI::SetEffectList(const std::vector<std::string>& names, const std::vector<bool>& visible,
                                    int brightnessMax, int speedMax) {
    if (auto* combo = dynamic_cast<CComboUI*>(Find(kEffectCombo))) {
        combo->RemoveAll();
        for (size_t i = 0; i < names.size(); ++i) {
            auto item = std::make_unique<CListLabelElementUI>();
            item->SetFixedHeight(kItemHeight);
            // A language key: the item reads in the language applied.
            item->SetText("%{" + names[i] + "}");
            item->SetUserData(names[i]);
            // A hidden effect keeps its place, so positions stay the device's effect numbers.
            item->SetVisible(i >= visible.size() || visible[i]);
            combo->Add(std::move(item));
        }
    }
    if (auto* slider = dynamic_cast<CSliderUI*>(Find(kBrightnessSlider))) {
        slider->SetMinValue(0);
        slider->SetMaxValue(brightnessMax);
    }
    if (auto* slider = dynamic_cast<CSliderUI*>(Find(kSpeedSlider))) {
        slider->SetMinValue(0);
        slider->SetMaxValue(speedMax);
    }
}

void CLightControlUI::SetSameModeCapable(bool capable) {
    sameModeCapable_ = capable;
    ApplyEnableTable(GetEffect());
}

void CLightControlUI::SelectEffect(int position) {
    if (auto* combo = dynamic_cast<CComboUI*>(Find(kEffectCombo))) combo->SelectItem(position, false, false);
    ApplyEnableTable(position);
}

void CLightControlUI::ShowColour(uint8_t red, uint8_t green, uint8_t blue) {
    if (CControlUI* edit = Find(kRedEdit)) edit->SetText(Decimal(red));
    if (CControlUI* edit = Find(kGreenEdit)) edit->SetText(Decimal(green));
    if (CControlUI* edit = Find(kBlueEdit)) edit->SetText(Decimal(blue));
    const ARGB argb = kOpaque | (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
    if (auto* palette = dynamic_cast<CColorPaletteUI*>(Find(kPalette))) palette->SetSelectColor(argb);
    if (CControlUI* button = Find(kColourButton)) button->SetBkColor(argb);
    const int swatch = FindPaletteIndex(red, green, blue);
    for (int i = 0; i < kSwatchCount; ++i) {
        if (CControlUI* each = Find(kSwatchPrefix + std::to_string(i))) each->SetBorderSize(i == swatch ? 2 : 0);
    }
}

void CLightControlUI::ShowLightSettings(uint32_t first, uint32_t second, uint32_t third) {
    SelectEffect(Byte(first, 0));
    if (auto* slider = dynamic_cast<CSliderUI*>(Find(kBrightnessSlider))) slider->SetValue(Byte(first, 1));
    if (auto* slider = dynamic_cast<CSliderUI*>(Find(kSpeedSlider))) slider->SetValue(Byte(first, 2));
    ShowColour(Byte(second, 1), Byte(second, 2), Byte(second, 3));
    if (auto* check = dynamic_cast<COptionUI*>(Find(kSevenColourCheck))) check->Selected(Byte(second, 0) != 0, false);
    if (auto* combo = dynamic_cast<CComboUI*>(Find(kSubModeCombo))) combo->SelectItem(Byte(third, 3), false, false);
    const bool left = Byte(first, 3) != 0;
    if (auto* check = dynamic_cast<COptionUI*>(Find(kLeftCheck))) check->Selected(left, false);
    if (auto* check = dynamic_cast<COptionUI*>(Find(kRightCheck))) check->Selected(!left, false);
    ApplyEnableTable(Byte(first, 0));
}

int CLightControlUI::FindPaletteIndex(uint8_t red, uint8_t green, uint8_t blue) const {
    const uint32_t rgb = (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
    for (int i = 0; i < kSwatchCount; ++i) {
        CControlUI* swatch = Find(kSwatchPrefix + std::to_string(i));
        if (swatch && (swatch->GetBkColor() & 0xFFFFFF) == rgb) return i;
    }
    return 0;
}

void CLightControlUI::ApplyEnableTable(int effect) {
    const LightEnableReset reset = LightEnableResetOf(kind_);
    const LightEnableRow row = LightEnableRowOf(kind_, effect);
    auto show = [this](const char* name, bool visible) {
        if (CControlUI* c = Find(name)) c->SetVisible(visible);
    };
    auto enable = [this](const char* name, bool enabled) {
        if (CControlUI* c = Find(name)) c->SetEnabled(enabled);
    };
    std::string_view left = row.leftLabel, right = row.rightLabel;
    if (reset.keyboardDefaults) {
        show("lightcustom_layout", false);
        show("deng_speed_layout", true);
        show("light_combo_ZZCCmodeSelectLayout", false);
        enable("light_color_layout", true);
        show("light_combo_AudiomodeSelectLayout", false);
        if (auto* tabs = dynamic_cast<CTabLayoutUI*>(Find(kColourTabs))) tabs->SelectItem(0, false);
        if (left.empty()) left = kDefaultLeftLabel, right = kDefaultRightLabel;
    }
    if (reset.hideSameMode) {
        show(kSameModeButton, false);
        enable("deng_fx_layout", true);
    }
    if (!left.empty()) {
        if (CControlUI* c = Find(kLeftCheck)) c->SetText(std::string("%{") + std::string(left) + "}");
        if (CControlUI* c = Find(kRightCheck)) c->SetText(std::string("%{") + std::string(right) + "}");
    }
    enable("lighteffect_layout", true);
    Apply(Find(kSevenColourCheck), row.sevenColour);
    Apply(Find("deng_color_layout"), row.colour);
    Apply(Find("colorpallet_layout"), row.palette);
    Apply(Find("deng_light_layout"), row.brightness);
    Apply(Find("deng_speed_layout"), row.speed);
    Apply(Find("deng_fx_layout"), row.direction);
    Apply(Find("deng_rgb_layout"), row.rgbLayout);
    Apply(Find("light_color_layout"), row.lightColourLayout);
    if (row.speedHidden) show("deng_speed_layout", false);
    if (row.customLayout) show("lightcustom_layout", true);
    if (row.subModeLayout) show("light_combo_ZZCCmodeSelectLayout", true);
    if (row.audioLayout) {
        show("light_combo_AudiomodeSelectLayout", true);
        if (auto* tabs = dynamic_cast<CTabLayoutUI*>(Find(kColourTabs))) tabs->SelectItem(1, false);
    }
    // Same mode is offered for an effect that has a synchronised counterpart on this kind.
    if (reset.hideSameMode || reset.keyboardDefaults)
        show(kSameModeButton, sameModeCapable_ && LightSync::EffectOfMode(kind_, effect).has_value());
}

int CLightControlUI::GetEffect() const {
    auto* combo = dynamic_cast<CComboUI*>(Find(kEffectCombo));
    return combo ? combo->GetCurSel() : -1;
}

int CLightControlUI::GetBrightness() const {
    auto* slider = dynamic_cast<CSliderUI*>(Find(kBrightnessSlider));
    return slider ? slider->GetValue() : 0;
}

int CLightControlUI::GetSpeed() const {
    auto* slider = dynamic_cast<CSliderUI*>(Find(kSpeedSlider));
    return slider ? slider->GetValue() : 0;
}

int CLightControlUI::GetSevenColour() const {
    auto* check = dynamic_cast<COptionUI*>(Find(kSevenColourCheck));
    return check && check->IsSelected() ? 1 : 0;
}

int CLightControlUI::GetDirection() const {
    auto* check = dynamic_cast<COptionUI*>(Find(kLeftCheck));
    return check && check->IsSelected() ? 1 : 0;
}

int CLightControlUI::GetSubMode() const {
    auto* combo = dynamic_cast<CComboUI*>(Find(kSubModeCombo));
    return combo ? std::max(combo->GetCurSel(), 0) : 0;
}

ARGB CLightControlUI::GetSelectedColour() const {
    auto* palette = dynamic_cast<CColorPaletteUI*>(Find(kPalette));
    return palette ? palette->GetSelectColor() : kOpaque;
}

std::string CLightControlUI::GetRedText() const {
    CControlUI* c = Find(kRedEdit);
    return c ? c->GetText() : std::string();
}
std::string CLightControlUI::GetGreenText() const {
    CControlUI* c = Find(kGreenEdit);
    return c ? c->GetText() : std::string();
}
std::string CLightControlUI::GetBlueText() const {
    CControlUI* c = Find(kBlueEdit);
    return c ? c->GetText() : std::string();
}

void CLightControlUI::ShowDevice(CVantorixUSBDevice& device, bool severalDevices) {
    constexpr int kLevelMax = 4;
    SetDeviceKind(device.GetKind());
    KeyboardEffectList effects;
    effects.Load(KeyboardEffectList::DefaultFile(), std::max(device.GetLanguage(), 0));
    std::vector<std::string> names;
    std::vector<bool> visible;
    for (const auto& entry : effects.Entries()) {
        names.push_back(entry.name);
        visible.push_back(entry.visible);
    }
    SetEffectList(names, visible, kLevelMax, kLevelMax);
    sameModeCapable_ = severalDevices;
    ShowDeviceLight(device.GetPanelLight());
}

std::array<uint32_t, 3> CLightControlUI::WordsOf(const LightInfoRecord& l) {
    return {l.selectItem | (uint32_t{l.light} << 8) | (uint32_t{l.speed} << 16) | (uint32_t{l.fx} << 24),
            l.multiColor | (uint32_t{l.red} << 8) | (uint32_t{l.green} << 16) | (uint32_t{l.blue} << 24),
            uint32_t{l.zzccLedMode} << 24};
}

void CLightControlUI::ShowDeviceLight(const LightInfoRecord& light) {
    const auto words = WordsOf(light);
    ShowLightSettings(words[0], words[1], words[2]);
}

// Everything the panel shows, over the device's record (fields the panel has no control for
// keep their values). A control the page lacks keeps the record's value.
LightInfoRecord CLightControlUI::Read(const LightInfoRecord& current) const {
    LightInfoRecord light = current;
    if (const int effect = GetEffect(); effect >= 0) light.selectItem = static_cast<uint8_t>(effect);
    if (Find(kBrightnessSlider)) light.light = static_cast<uint8_t>(GetBrightness());
    if (Find(kSpeedSlider)) light.speed = static_cast<uint8_t>(GetSpeed());
    if (Find(kSevenColourCheck)) light.multiColor = static_cast<uint8_t>(GetSevenColour());
    if (Find(kLeftCheck)) light.fx = static_cast<uint8_t>(GetDirection());
    if (Find(kSubModeCombo)) light.zzccLedMode = static_cast<uint8_t>(GetSubMode());
    light.red = EditValue(GetRedText(), light.red);
    light.green = EditValue(GetGreenText(), light.green);
    light.blue = EditValue(GetBlueText(), light.blue);
    return light;
}

std::optional<CLightControlUI::Change> CLightControlUI::OnNotify(TNotifyUI& msg, const LightInfoRecord& current) {
    if (!msg.pSender || OfControl(msg.pSender) != this) return std::nullopt;
    const std::string& name = msg.pSender->GetName();
    const std::string& type = msg.sType;
    const bool colourPick = (type == DUI_MSGTYPE_CLICK && name.rfind(kSwatchPrefix, 0) == 0) ||
                            (type == "colorchanged" && name == kPalette);
    if (colourPick) {
        const ARGB argb = name == kPalette ? GetSelectedColour() : msg.pSender->GetBkColor();
        ShowColour(static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8), static_cast<uint8_t>(argb));
    } else if (type == DUI_MSGTYPE_SELECTCHANGED && (name == kLeftCheck || name == kRightCheck)) {
        auto* option = dynamic_cast<COptionUI*>(msg.pSender);
        if (option && !option->IsSelected()) return std::nullopt;  // the other one of the pair reports
        if (auto* other = dynamic_cast<COptionUI*>(Find(name == kLeftCheck ? kRightCheck : kLeftCheck)))
            other->Selected(false, false);
    } else if (type == DUI_MSGTYPE_KILLFOCUS && (name == kRedEdit || name == kGreenEdit || name == kBlueEdit)) {
        const LightInfoRecord typed = Read(current);
        ShowColour(typed.red, typed.green, typed.blue);
    } else if (type == DUI_MSGTYPE_ITEMSELECT && name == kEffectCombo) {
        ApplyEnableTable(GetEffect());
    } else if (!((type == DUI_MSGTYPE_VALUECHANGED || type == DUI_MSGTYPE_MOVEVALUECHANGED) &&
                 (name == kBrightnessSlider || name == kSpeedSlider)) &&
               !(type == DUI_MSGTYPE_SELECTCHANGED && name == kSevenColourCheck) &&
               !(type == DUI_MSGTYPE_ITEMSELECT && name == kSubModeCombo)) {
        return std::nullopt;
    }
    Change change;
    change.light = Read(current);
    change.effectChanged = change.light.selectItem != current.selectItem;
    return change;
}

}  // namespace q208
