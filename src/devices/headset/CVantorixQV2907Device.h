#pragma once

#include <memory>
#include <string>

#include "audio/IAudioConfig.h"
#include "devices/headset/HeadsetAudioController.h"
#include "devices/mousepad/CVantorixMousePadDevice.h"
#include "profile/CQv2907Profiledata.h"

namespace q208 {

class CMagicControlUI;
class CVoice2907ControlUI;

// The USB headset: its lighting is the mouse pad's (the same settings block over the
// vendor reports, the same preview), its audio settings are properties of the sound
// server's devices for the headset (HeadsetAudioController). The page adds the voice-effect
// panel and the equaliser and microphone panel to the pad's lighting controls.
//
// The audio side starts when the page is bound, whatever the HID channel does, and is
// watched on a page timer: a sound server that went away and came back gets the stored
// settings again. All audio calls run on the UI thread.
class CVantorixQV2907Device : public CVantorixMousePadDevice {
public:
    static constexpr const char* kClassName = "VantorixQV2907Device";
    static constexpr size_t kLedCount = 13;
    static constexpr int kLightList = 3;  // the headset's list in "default_light.json"
    static constexpr UINT kAudioWatchTimer = 2907;
    static constexpr UINT kAudioWatchMs = 2000;
    // Controls of the page besides the panels' own.
    static constexpr const char* kMagicPanel = "MagicControlItem";
    static constexpr const char* kVoicePanel = "Voice2907ControlItem";
    static constexpr const char* kSaveButton = "hs_EQ_btn_save";
    static constexpr const char* kDeleteButton = "hs_EQ_btn_delete";
    static constexpr const char* kAudioStatus = "hs_audio_status_label";
    static constexpr const char* kMicDbLabel = "hs_mic_db_label";
    static constexpr const char* kMonitorDbLabel = "hs_monitor_db_label";
    static constexpr const char* kMicRangeLabel = "hs_mic_range_label";
    static constexpr const char* kVoiceUnavailable = "hs_voice_unavailable_label";

    explicit CVantorixQV2907Device(std::shared_ptr<IHidBus> bus = DefaultHidBus(), LightRenderer::Clock clock = {},
                                   std::unique_ptr<IAudioConfig> audio = MakeDefaultAudioConfig());
    ~CVantorixQV2907Device() override;

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;
    void DoEvent(TEventUI& event) override;

    void BindPageControls() override;
    bool LoadProfile() override;
    void AfterLoad() override;
    void ApplyExtra() override;
    bool WriteProfileToDevice() override;
    bool OnPageNotify(TNotifyUI& msg) override;

    HeadsetAudioController& Audio() { return audio_; }
    IAudioConfig& AudioConfig() { return *audioConfig_; }
    CQv2907Profiledata& HeadsetProfile() { return headsetProfile_; }
    // The page after a change made elsewhere (q208ctl through the running program).
    void ShowAudio();
    // The last save's result (1, 0, −1) for the page's tests.
    int LastSaveResult() const { return lastSave_; }

private:
    bool OnAudioNotify(TNotifyUI& msg);
    void ShowStatus();
    CMagicControlUI* MagicPanel() const;
    CVoice2907ControlUI* VoicePanel() const;
    CControlUI* FindControl(const std::string& name) const;

    std::unique_ptr<IAudioConfig> audioConfig_;
    CQv2907Profiledata& headsetProfile_;
    HeadsetAudioController audio_;
    bool audioStarted_ = false;
    int lastSave_ = 0;
};

}  // namespace q208
