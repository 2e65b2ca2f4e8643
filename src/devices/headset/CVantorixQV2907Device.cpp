#include "devices/headset/CVantorixQV2907Device.h"

#include <charconv>

#include "device/DeviceSlot.h"
#include "headset_panels/CMagicControlUI.h"
#include "headset_panels/CVoice2907ControlUI.h"
#include "platform/Trace.h"
#include "profile/ProfilePaths.h"
#include "ui/CComboUI.h"
#include "ui/CLabelUI.h"
#include "ui/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/CSliderUI.h"
#include "ui/UiDefs.h"
#include "ui/UiNotify.h"

namespace q208 {
namespace {

using Panel = CVoice2907ControlUI;
constexpr const char* kInactiveText = "hs_audio_inactive";
constexpr const char* kNotTakenText = "hs_audio_not_taken";
constexpr const char* kRangeText = "hs_mic_range";
constexpr const char* kDbUnit = " dB";

int NumberAfter(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix)) return -1;
    int value = -1;
    const auto digits = name.substr(prefix.size());
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return ec == std::errc{} && end == digits.data() + digits.size() ? value : -1;
}

std::unique_ptr<CBasicProfiledata> NewHeadsetProfile() { return std::make_unique<CQv2907Profiledata>(); }

bool IsSelected(CControlUI* control) {
    auto* option = dynamic_cast<COptionUI*>(control);
    return option && option->IsSelected();
}

}  // namespace

CVantorixQV2907Device::CVantorixQV2907Device(std::shared_ptr<IHidBus> bus, LightRenderer::Clock clock,
                                             std::unique_ptr<IAudioConfig> audio)
    : CVantorixMousePadDevice(std::move(bus), std::move(clock), Variant{kKindHeadset, kHeadsetFolder, kLedCount, kLightList},
                              NewHeadsetProfile()),
      audioConfig_(std::move(audio)),
      headsetProfile_(static_cast<CQv2907Profiledata&>(Profile())),
      audio_(*audioConfig_, headsetProfile_, [this] { SaveProfile(); }) {}

CVantorixQV2907Device::~CVantorixQV2907Device() {
    if (GetManager()) GetManager()->KillTimer(this, kAudioWatchTimer);
}

void* CVantorixQV2907Device::GetInterface(std::string_view name) {
    if (name == kClassName) return this;
    return CVantorixMousePadDevice::GetInterface(name);
}

CControlUI* CVantorixQV2907Device::FindControl(const std::string& name) const {
    return GetManager() ? GetManager()->FindSubControlByName(const_cast<CVantorixQV2907Device*>(this), name) : nullptr;
}

CMagicControlUI* CVantorixQV2907Device::MagicPanel() const {
    return dynamic_cast<CMagicControlUI*>(FindControl(kMagicPanel));
}

CVoice2907ControlUI* CVantorixQV2907Device::VoicePanel() const {
    return dynamic_cast<CVoice2907ControlUI*>(FindControl(kVoicePanel));
}

void CVantorixQV2907Device::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_TIMER && static_cast<UINT>(event.wParam) == kAudioWatchTimer) {
        if (audio_.Watch()) ShowAudio();
        return;
    }
    CVantorixMousePadDevice::DoEvent(event);
}

// ---- the device operations ----

void CVantorixQV2907Device::BindPageControls() {
    CVantorixMousePadDevice::BindPageControls();
    if (auto* slider = dynamic_cast<CSliderUI*>(FindControl(Panel::kMicSlider))) slider->SetMaxValue(100);
    if (auto* slider = dynamic_cast<CSliderUI*>(FindControl(Panel::kMonitorSlider))) slider->SetMaxValue(100);
    if (!audioStarted_) {
        audioStarted_ = true;
        // The server keeps neither the equaliser nor the monitoring between runs: they
        // are given again from the profile once it is loaded.
        if (audio_.Start()) {
            LoadProfile();
            audio_.ApplyStored();
        }
        if (GetManager()) GetManager()->SetTimer(this, kAudioWatchTimer, kAudioWatchMs);
    }
    ShowAudio();
}

bool CVantorixQV2907Device::LoadProfile() {
    CVantorixMousePadDevice::LoadProfile();
    audio_.LoadFromProfile();
    return true;
}

void CVantorixQV2907Device::AfterLoad() {
    CVantorixMousePadDevice::AfterLoad();
    ShowAudio();
}

void CVantorixQV2907Device::ApplyExtra() {
    CVantorixMousePadDevice::ApplyExtra();
    audio_.LoadFromProfile();
    audio_.ApplyStored();
    ShowAudio();
}

// Another profile was chosen: its lighting to the headset, its audio settings to the server.
bool CVantorixQV2907Device::WriteProfileToDevice() {
    const bool written = CVantorixMousePadDevice::WriteProfileToDevice();
    audio_.LoadFromProfile();
    audio_.ApplyStored();
    ShowAudio();
    return written;
}

// ---- the page ----

void CVantorixQV2907Device::ShowAudio() {
    const HeadsetSettingsRecord& s = audio_.Stages();
    if (CMagicControlUI* magic = MagicPanel()) {
        magic->SetVoiceEffectOn(s.magicEnable != 0);
        magic->SelectVoiceEffect(s.magicType);
        if (CControlUI* enable = FindControl(CMagicControlUI::kEnableOption))
            enable->SetEnabled(audio_.Active() && audio_.OffersVoiceEffects());
        if (CControlUI* layout = FindControl(CMagicControlUI::kOptionLayout))
            layout->SetEnabled(s.magicEnable != 0 && audio_.Active() && audio_.OffersVoiceEffects());
    }
    if (CControlUI* note = FindControl(kVoiceUnavailable)) note->SetVisible(!audio_.OffersVoiceEffects());
    if (CVoice2907ControlUI* panel = VoicePanel()) {
        panel->SetMicInOn(!audio_.MicMuted());
        panel->SetMicMonitorOn(!audio_.MonitorMuted());
        panel->SetMicInLevel(s.micInValue);
        panel->SetMicMonitorLevel(s.micMonitorValue);
        panel->SelectEqPreset(audio_.CustomMode() ? HeadsetAudioController::kCustomPreset : s.eqType);
        const auto& names = audio_.CustomNames();
        bool same = panel->GetCustomEqCount() == static_cast<int>(names.size());
        for (int i = 0; same && i < static_cast<int>(names.size()); ++i) same = panel->GetCustomEqName(i) == names[i];
        if (!same) {
            panel->ClearCustomEqNames();
            for (const std::string& name : names) panel->AddCustomEqName(name);
        }
        if (panel->GetSelectedCustomEq() != audio_.SelectedCustom()) panel->SelectCustomEq(audio_.SelectedCustom());
        panel->EnableCustomEq(audio_.CustomMode());
        for (int band = 0; band < HeadsetAudioController::kBands; ++band)
            panel->SetEqSlider(band, audio_.CurrentBands()[static_cast<size_t>(band)]);
    }
    if (auto* label = dynamic_cast<CLabelUI*>(FindControl(kMicDbLabel)))
        label->SetText(audio_.MicDbText().empty() ? std::string() : audio_.MicDbText() + kDbUnit);
    if (auto* label = dynamic_cast<CLabelUI*>(FindControl(kMonitorDbLabel)))
        label->SetText(audio_.MonitorDbText().empty() ? std::string() : audio_.MonitorDbText() + kDbUnit);
    if (auto* label = dynamic_cast<CLabelUI*>(FindControl(kMicRangeLabel))) {
        char range[96] = "";
        if (audio_.Active()) {
            std::snprintf(range, sizeof range, CResourceManager::GetInstance().GetText(kRangeText).c_str(),
                          audio_.MicRanges().minDb, audio_.MicRanges().maxDb);
        }
        label->SetText(range);
    }
    ShowStatus();
    Invalidate();
}

void CVantorixQV2907Device::ShowStatus() {
    auto* label = dynamic_cast<CLabelUI*>(FindControl(kAudioStatus));
    if (!label) return;
    std::string key;
    if (!audio_.Active()) key = kInactiveText;
    else if (!audio_.Message().empty()) key = audio_.Message();
    else if (audio_.LastWriteFailed()) key = kNotTakenText;
    label->SetText(key.empty() ? std::string() : CResourceManager::GetInstance().GetText(key));
}

bool CVantorixQV2907Device::OnPageNotify(TNotifyUI& msg) {
    if (msg.pSender && OnAudioNotify(msg)) {
        ShowAudio();
        return true;
    }
    return CVantorixMousePadDevice::OnPageNotify(msg);
}

bool CVantorixQV2907Device::OnAudioNotify(TNotifyUI& msg) {
    const std::string& name = msg.pSender->GetName();
    const std::string& type = msg.sType;
    if (type == DUI_MSGTYPE_SELECTCHANGED) {
        if (const int preset = NumberAfter(name, Panel::kPresetPrefix); preset > 0) {
            if (IsSelected(msg.pSender)) audio_.ChooseEqPreset(preset);
            return true;
        }
        if (const int effect = NumberAfter(name, CMagicControlUI::kOptionPrefix); effect > 0) {
            if (IsSelected(msg.pSender)) audio_.SelectVoiceEffect(effect);
            return true;
        }
        if (name == CMagicControlUI::kEnableOption) {
            audio_.SetVoiceEffectOn(IsSelected(msg.pSender));
            return true;
        }
        if (name == Panel::kMicOption) {
            audio_.SetMicMute(!IsSelected(msg.pSender));
            return true;
        }
        if (name == Panel::kMonitorOption) {
            audio_.SetMonitorMute(!IsSelected(msg.pSender));
            return true;
        }
        return false;
    }
    if (type == DUI_MSGTYPE_ITEMSELECT && name == Panel::kCustomCombo) {
        if (CVoice2907ControlUI* panel = VoicePanel()) audio_.ChooseCustomPreset(panel->GetSelectedCustomEq());
        return true;
    }
    if (type == DUI_MSGTYPE_VALUECHANGED) {
        auto* slider = dynamic_cast<CSliderUI*>(msg.pSender);
        if (!slider) return false;
        if (const int band = NumberAfter(name, Panel::kBandPrefix); band >= 0) {
            audio_.MoveBand(band, slider->GetValue());
            return true;
        }
        if (name == Panel::kMicSlider) {
            audio_.SetMicLevel(slider->GetValue());
            return true;
        }
        if (name == Panel::kMonitorSlider) {
            audio_.SetMonitorLevel(slider->GetValue());
            return true;
        }
        return false;
    }
    if (type == DUI_MSGTYPE_CLICK && name == kSaveButton) {
        CVoice2907ControlUI* panel = VoicePanel();
        if (panel) audio_.SetSelectedCustom(panel->GetSelectedCustomEq());
        lastSave_ = audio_.SaveCustomPreset(panel ? panel->GetCustomEqNameText() : std::string());
        return true;
    }
    if (type == DUI_MSGTYPE_CLICK && name == kDeleteButton) {
        if (CVoice2907ControlUI* panel = VoicePanel()) audio_.SetSelectedCustom(panel->GetSelectedCustomEq());
        audio_.DeleteCustomPreset();
        return true;
    }
    return false;
}

}  // namespace q208
