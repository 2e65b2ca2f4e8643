#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/IAudioConfig.h"
#include "profile/CQv2907Profiledata.h"

namespace q208 {

// The headset's audio side without a toolkit: the settings the profile keeps (equaliser
// preset and bands, custom presets, microphone, monitoring, voice effect), the audio
// server's properties they go to, and what the page shows of them. The headset page and
// q208ctl both work through it.
//
// A setting is stored in the profile only when the audio server took it; otherwise the
// page says that it did not (`LastWriteFailed`), and the stored value stays.
class HeadsetAudioController {
public:
    static constexpr int kBands = CQv2907Profiledata::kEqBandCount;
    static constexpr int kBuiltInPresets = 12;
    static constexpr int kCustomPreset = CQv2907Profiledata::kCustomEqPreset;
    static constexpr int kMaxCustomPresets = 20;
    static constexpr int kVoiceEffects = 4;
    static constexpr int kSaved = 1;
    static constexpr int kNameExists = 0;
    static constexpr int kRefused = -1;
    using Bands = std::array<int, kBands>;
    static const std::array<Bands, kBuiltInPresets> kPresets;

    struct Ranges {
        double maxDb = 0, minDb = 0, stepDb = 0;
    };

    // `save` writes the profile to its file (the device's SaveProfile).
    HeadsetAudioController(IAudioConfig& audio, CQv2907Profiledata& profile, std::function<void()> save);

    // ---- start-up ----
    // Reaches the server, picks the headset's devices, gives every property the server
    // cannot read a 0, and reads the levels and ranges. False when the audio side stays
    // inactive (no server, no device).
    bool Start();
    // The profile's settings to the server: the server keeps none of the equaliser and
    // monitoring from one run to the next.
    void ApplyStored();
    // Called now and then: a server that came back is started and given the settings
    // again. True when that happened.
    bool Watch();
    // The audio state of the loaded profile.
    void LoadFromProfile();

    // ---- the page's operations ----
    void ChooseEqPreset(int preset);
    void ChooseCustomPreset(int index);
    void MoveBand(int band, int value);  // band 0 … 9
    // 1 saved, 0 the name exists (letter case aside), −1 refused.
    int SaveCustomPreset(const std::string& name);
    void DeleteCustomPreset();
    void SetVoiceEffectOn(bool on);
    void SelectVoiceEffect(int effect);  // 1 … 4; 0 is ignored
    void ToggleMicMute();
    void ToggleMonitorMute();
    void SetMicMute(bool mute);
    void SetMonitorMute(bool mute);
    void SetMicLevel(int value);
    void SetMonitorLevel(int value);
    // The combo's selection as the page moves it (−1 none).
    void SetSelectedCustom(int index) { selectedCustom_ = index; }

    // ---- what the page shows ----
    bool Active() const { return active_; }
    bool OffersVoiceEffects() const { return audio_.OffersVoiceEffects(); }
    const HeadsetSettingsRecord& Stages() const { return stages_; }
    const Bands& CurrentBands() const { return bands_; }
    const std::vector<std::string>& CustomNames() const { return names_; }
    int SelectedCustom() const { return selectedCustom_; }
    bool CustomMode() const { return customMode_; }
    bool MicMuted() const { return micMute_; }
    bool MonitorMuted() const { return monitorMute_; }
    const std::string& MicDbText() const { return micDb_; }
    const std::string& MonitorDbText() const { return monitorDb_; }
    const Ranges& MicRanges() const { return micRanges_; }
    const Ranges& MonitorRanges() const { return monitorRanges_; }
    bool LastWriteFailed() const { return lastFailed_; }
    // The language key of the message the last save asked for ("" none).
    const std::string& Message() const { return message_; }

private:
    int Property(const AudioDeviceRecord& device, const char* name, AudioValue& value, int direction);
    bool Write(const AudioDeviceRecord& device, const std::string& name, double value, int channel = -1);
    bool Read(const AudioDeviceRecord& device, const char* name, AudioValue& value);
    bool WriteBands(const Bands& bands);
    void PickDevices();
    void InitProperties();
    void ReadLevels();
    void Store();
    std::string ReadDb(const char* property);
    static Bands ToBands(const std::vector<int>& list);

    IAudioConfig& audio_;
    CQv2907Profiledata& profile_;
    std::function<void()> save_;
    AudioDeviceRecord playback_;
    AudioDeviceRecord recording_;
    uint64_t generation_ = 0;
    bool active_ = false;
    HeadsetSettingsRecord stages_;
    Bands bands_{};
    std::vector<std::string> names_;
    int selectedCustom_ = -1;
    bool customMode_ = false;
    bool micMute_ = false;
    bool monitorMute_ = true;
    std::string micDb_, monitorDb_;
    Ranges micRanges_, monitorRanges_;
    std::array<int, 3> playbackFeatures_{};
    std::array<int, 3> recordingFeatures_{};
    bool lastFailed_ = false;
    std::string message_;
};

}  // namespace q208
