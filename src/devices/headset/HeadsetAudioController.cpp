#include "devices/headset/HeadsetAudioController.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <strings.h>

#include "audio/AudioProperties.h"
#include "platform/Trace.h"

namespace q208 {
namespace {

using namespace audioprop;
constexpr int kRead = IAudioConfig::kRead;
constexpr int kWrite = IAudioConfig::kWrite;
constexpr int kMaxLevel = 100;
constexpr const char* kNameExistsMessage = "message_text_5";

// Playback devices by preference: the headset's own type first, then the other kinds a
// server may report for it.
constexpr int kPlaybackTypes[] = {IAudioConfig::kTypePlayback, 12, 7, 4};

std::string Text(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

}  // namespace

const std::array<HeadsetAudioController::Bands, HeadsetAudioController::kBuiltInPresets>
    HeadsetAudioController::kPresets{{
        {7, 11, 2, -3, -1, 4, 9, 12, 9, 5},
        {7, 11, 6, -3, -11, -1, 6, 13, 6, 13},
        {10, 4, 0, -3, -4, -3, -2, -1, 0, 0},
        {2, 1, -2, -3, -5, -7, 0, 4, 9, 8},
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {7, 14, -13, -6, -1, 8, 13, 7, 2, 6},
        {14, 10, 4, 0, -4, -3, -1, 1, 2, 3},
        {2, 1, -2, -3, -5, -1, 7, 11, 15, 13},
        {8, 2, -4, -8, 1, 3, 8, 11, 14, 16},
        {-3, 4, 10, 0, -11, 3, 9, 13, 6, 0},
        {18, 14, 8, 2, -3, -6, -1, 2, 5, 6},
        {2, 1, -2, -4, -8, 4, 12, 16, 18, 15},
    }};

HeadsetAudioController::HeadsetAudioController(IAudioConfig& audio, CQv2907Profiledata& profile,
                                               std::function<void()> save)
    : audio_(audio), profile_(profile), save_(std::move(save)) {}

HeadsetAudioController::Bands HeadsetAudioController::ToBands(const std::vector<int>& list) {
    Bands bands{};
    std::copy_n(list.begin(), std::min<size_t>(list.size(), kBands), bands.begin());
    return bands;
}

// ---- property access ----

int HeadsetAudioController::Property(const AudioDeviceRecord& device, const char* name, AudioValue& value,
                                     int direction) {
    if (device.state != IAudioConfig::kStatePresent) return 1;  // no such device: nothing goes out
    return audio_.PropertyControl(device, name, value, direction);
}

bool HeadsetAudioController::Write(const AudioDeviceRecord& device, const std::string& name, double value,
                                   int channel) {
    AudioValue v;
    v.number = value;
    v.channel = channel;
    return Property(device, name.c_str(), v, kWrite) == 0;
}

bool HeadsetAudioController::Read(const AudioDeviceRecord& device, const char* name, AudioValue& value) {
    return Property(device, name, value, kRead) == 0;
}

std::string HeadsetAudioController::ReadDb(const char* property) {
    AudioValue v;
    return Read(recording_, property, v) ? Text(v.number) : std::string();
}

bool HeadsetAudioController::WriteBands(const Bands& bands) {
    bool ok = Write(playback_, kEqEnable, 1);
    for (int i = 0; i < kBands; ++i) ok = Write(playback_, kEqSliderPrefix + std::to_string(i + 1), bands[i]) && ok;
    return ok;
}

void HeadsetAudioController::Store() {
    profile_.SetSystemSetStages(stages_);
    if (save_) save_();
}

// ---- start-up ----

void HeadsetAudioController::PickDevices() {
    playback_ = recording_ = AudioDeviceRecord{};
    int count = 0;
    audio_.GetDeviceCount(IAudioConfig::kPlayback, count);
    if (count < 1) return;
    std::vector<AudioDeviceRecord> found;
    for (int i = 0; i < count; ++i) {
        AudioDeviceRecord r;
        if (audio_.GetDeviceById(IAudioConfig::kPlayback, i, r) == 0) found.push_back(r);
    }
    for (const int type : kPlaybackTypes) {
        const auto it = std::find_if(found.begin(), found.end(), [&](const AudioDeviceRecord& r) {
            return r.type == type && r.state == IAudioConfig::kStatePresent;
        });
        if (it != found.end()) {
            playback_ = *it;
            break;
        }
    }
    audio_.GetDeviceCount(IAudioConfig::kRecording, count);
    for (int i = 0; i < count; ++i) {
        AudioDeviceRecord r;
        if (audio_.GetDeviceById(IAudioConfig::kRecording, i, r) == 0 && r.type == IAudioConfig::kTypeRecording) {
            recording_ = r;
            break;
        }
    }
}

void HeadsetAudioController::InitProperties() {
    auto features = [this](const AudioDeviceRecord& device, std::array<int, 3>& kept) {
        AudioValue v;
        if (device.state != IAudioConfig::kStatePresent) return;
        std::vector<int> fields;
        if (Read(device, kSupportFeature, v)) {
            std::stringstream list(v.text);
            for (std::string item; std::getline(list, item, ',');) fields.push_back(std::atoi(item.c_str()));
        }
        if (fields.size() < 7) {
            Trace("UpdateAPOAvailable failed!\n");
            return;
        }
        kept = {fields[0], fields[4], fields[6]};
    };
    features(playback_, playbackFeatures_);
    features(recording_, recordingFeatures_);
    auto initialise = [this](const AudioDeviceRecord& device, const std::string& name) {
        AudioValue v;
        if (Property(device, name.c_str(), v, kRead) != 0) Write(device, name, 0);
    };
    initialise(playback_, kSurround);
    initialise(recording_, kNoiseCancel);
    initialise(recording_, kMicDb);
    initialise(playback_, kEqEnable);
    for (int i = 1; i <= kBands; ++i) initialise(playback_, kEqSliderPrefix + std::to_string(i));
    for (const char* name : {kRoomEnable, kRoomEnvironment, kRoomSize}) initialise(playback_, name);
    for (const char* name : {kMicMute, kMicScalar, kMonitorDb, kMonitorMute, kMonitorScalar, kVoiceEnable,
                             kVoiceSelection})
        initialise(recording_, name);
}

void HeadsetAudioController::ReadLevels() {
    auto number = [this](const char* name, double fallback) {
        AudioValue v;
        return Read(recording_, name, v) ? v.number : fallback;
    };
    micRanges_ = {number(kMaxVol, 0), number(kMinVol, 0), number(kVolStep, 0)};
    monitorRanges_ = {number(kMonitorMaxVol, 0), number(kMonitorMinVol, 0), number(kMonitorVolStep, 0)};
    micDb_ = ReadDb(kMicDb);
    monitorDb_ = ReadDb(kMonitorDb);
    micMute_ = number(kMicMute, micMute_ ? 1 : 0) != 0;
    monitorMute_ = number(kMonitorMute, monitorMute_ ? 1 : 0) != 0;
}

bool HeadsetAudioController::Start() {
    active_ = false;
    if (audio_.Init() != 0) Trace("audio: the audio server could not be initialised\n");
    audio_.CreateDeviceList();
    generation_ = audio_.Generation();
    PickDevices();
    if (playback_.state != IAudioConfig::kStatePresent && recording_.state != IAudioConfig::kStatePresent) {
        Trace("audio: no playback or recording device; the headset's audio settings are inactive\n");
        return false;
    }
    InitProperties();
    ReadLevels();
    active_ = true;
    return true;
}

void HeadsetAudioController::ApplyStored() {
    if (!active_) return;
    Write(recording_, kMicScalar, std::clamp(stages_.micInValue, 0, kMaxLevel) / 100.0);
    Write(recording_, kMicMute, stages_.micInSelect ? 0 : 1);
    Write(recording_, kMonitorScalar, std::clamp(stages_.micMonitorValue, 0, kMaxLevel) / 100.0);
    Write(recording_, kMonitorMute, stages_.micMonitorSelect ? 0 : 1);
    if (stages_.eqType >= 1 && stages_.eqType <= kCustomPreset) WriteBands(bands_);
    if (audio_.OffersVoiceEffects()) {
        Write(recording_, kVoiceEnable, stages_.magicEnable ? 1 : 0);
        if (stages_.magicType > 0) Write(recording_, kVoiceSelection, stages_.magicType - 1);
    }
    ReadLevels();
}

bool HeadsetAudioController::Watch() {
    if (!audio_.Connected()) {
        if (active_) Trace("audio: the audio server is gone; the settings wait for it\n");
        active_ = false;
        return false;
    }
    if (active_ && audio_.Generation() == generation_) return false;
    Trace("audio: the audio server is back; the headset's settings are applied again\n");
    if (!Start()) return false;
    ApplyStored();
    return true;
}

void HeadsetAudioController::LoadFromProfile() {
    stages_ = profile_.GetSystemSetStages();
    names_ = profile_.GetCustomEqNames();
    const bool custom = stages_.eqType == kCustomPreset;
    const bool known = custom && stages_.customEqSelectIndex >= 0 &&
                       stages_.customEqSelectIndex < static_cast<int>(names_.size());
    bands_ = ToBands(custom ? profile_.GetCustomEqBands(known ? stages_.customEqSelectIndex : 0)
                            : profile_.GetEqBands(stages_.eqType));
    customMode_ = custom;
    selectedCustom_ = known ? stages_.customEqSelectIndex : -1;
    micMute_ = stages_.micInSelect == 0;
    monitorMute_ = stages_.micMonitorSelect == 0;
}

// ---- equaliser ----

void HeadsetAudioController::ChooseEqPreset(int preset) {
    if (preset <= 0 || preset > kCustomPreset) return;
    message_.clear();
    if (preset == kCustomPreset) {
        customMode_ = true;
        stages_.eqType = kCustomPreset;
        if (selectedCustom_ >= 0) ChooseCustomPreset(selectedCustom_);
        else if (save_) save_();
        return;
    }
    const Bands bands = kPresets[static_cast<size_t>(preset - 1)];
    lastFailed_ = !WriteBands(bands);
    if (lastFailed_) return;  // the page keeps the preset the profile has
    bands_ = bands;
    customMode_ = false;
    stages_.eqType = preset;
    profile_.SetSystemSetStages(stages_);
    profile_.SetEqBands(preset, std::vector<int>(bands.begin(), bands.end()));
    if (save_) save_();
}

void HeadsetAudioController::ChooseCustomPreset(int index) {
    if (index < 0 || index >= static_cast<int>(names_.size())) return;
    message_.clear();
    const Bands bands = ToBands(profile_.GetCustomEqBands(index));
    lastFailed_ = !WriteBands(bands);
    if (lastFailed_) return;
    bands_ = bands;
    selectedCustom_ = index;
    customMode_ = true;
    stages_.eqType = kCustomPreset;
    stages_.customEqSelectIndex = index;
    Store();
}

void HeadsetAudioController::MoveBand(int band, int value) {
    if (band < 0 || band >= kBands) return;
    if (stages_.eqType != kCustomPreset) {
        stages_.eqType = kCustomPreset;
        customMode_ = true;
        selectedCustom_ = -1;
    }
    bands_[static_cast<size_t>(band)] = value;
    // Nothing is stored until the bands are saved as a custom preset.
    lastFailed_ = !Write(playback_, kEqSliderPrefix + std::to_string(band + 1), value);
}

int HeadsetAudioController::SaveCustomPreset(const std::string& name) {
    message_.clear();
    const std::vector<int> bands(bands_.begin(), bands_.end());
    if (name.empty()) {
        if (selectedCustom_ < 0) return kRefused;
        stages_.eqType = kCustomPreset;
        stages_.customEqSelectIndex = selectedCustom_;
        profile_.SetSystemSetStages(stages_);
        profile_.SetCustomEqBands(selectedCustom_, bands);
        if (save_) save_();
        return kSaved;
    }
    if (static_cast<int>(names_.size()) >= kMaxCustomPresets) return kRefused;
    if (std::any_of(names_.begin(), names_.end(), [&](const std::string& n) { return SameName(n, name); })) {
        message_ = kNameExistsMessage;
        return kNameExists;
    }
    names_.push_back(name);
    selectedCustom_ = static_cast<int>(names_.size()) - 1;
    customMode_ = true;
    stages_.eqType = kCustomPreset;
    stages_.customEqSelectIndex = selectedCustom_;
    profile_.SetSystemSetStages(stages_);
    profile_.SetCustomEqBands(selectedCustom_, bands);
    profile_.SetCustomEqNames(names_);
    if (save_) save_();
    return kSaved;
}

// The band lists follow their names: the later presets move down with both.
void HeadsetAudioController::DeleteCustomPreset() {
    const int index = selectedCustom_;
    if (index < 0 || index >= static_cast<int>(names_.size())) return;
    message_.clear();
    names_.erase(names_.begin() + index);
    profile_.RemoveCustomEqBands(index);
    if (names_.empty()) {
        stages_.eqType = 1;
        stages_.customEqSelectIndex = 0;
        selectedCustom_ = -1;
        customMode_ = false;
        bands_ = ToBands(profile_.GetEqBands(1));
    } else {
        selectedCustom_ = 0;
        stages_.customEqSelectIndex = 0;
        bands_ = ToBands(profile_.GetCustomEqBands(0));
    }
    profile_.SetSystemSetStages(stages_);
    profile_.SetCustomEqNames(names_);
    // The sound follows what the sliders now show.
    lastFailed_ = !WriteBands(bands_);
    if (save_) save_();
}

// ---- voice effect ----

void HeadsetAudioController::SetVoiceEffectOn(bool on) {
    message_.clear();
    bool ok = Write(recording_, kVoiceEnable, on ? 1 : 0);
    if (ok && on) ok = Write(recording_, kEchoEnable, 0);
    lastFailed_ = !ok;
    if (!ok) return;
    stages_.magicEnable = on ? 1 : 0;
    Store();
}

void HeadsetAudioController::SelectVoiceEffect(int effect) {
    if (effect <= 0 || effect > kVoiceEffects) return;
    message_.clear();
    lastFailed_ = !Write(recording_, kVoiceSelection, effect - 1);
    if (lastFailed_) return;
    stages_.magicType = effect;
    Store();
}

// ---- microphone and monitoring ----

void HeadsetAudioController::SetMicMute(bool mute) {
    lastFailed_ = !Write(recording_, kMicMute, mute ? 1 : 0);
    if (lastFailed_) return;  // the page keeps showing what the server has
    micMute_ = mute;
    stages_.micInSelect = mute ? 0 : 1;
    Store();
}

void HeadsetAudioController::SetMonitorMute(bool mute) {
    lastFailed_ = !Write(recording_, kMonitorMute, mute ? 1 : 0);
    if (lastFailed_) return;
    monitorMute_ = mute;
    stages_.micMonitorSelect = mute ? 0 : 1;
    Store();
}

void HeadsetAudioController::ToggleMicMute() { SetMicMute(!micMute_); }
void HeadsetAudioController::ToggleMonitorMute() { SetMonitorMute(!monitorMute_); }

void HeadsetAudioController::SetMicLevel(int value) {
    value = std::clamp(value, 0, kMaxLevel);
    lastFailed_ = !Write(recording_, kMicScalar, value / 100.0);
    if (lastFailed_) return;
    micDb_ = ReadDb(kMicDb);
    stages_.micInValue = value;
    Store();
}

void HeadsetAudioController::SetMonitorLevel(int value) {
    value = std::clamp(value, 0, kMaxLevel);
    lastFailed_ = !Write(recording_, kMonitorScalar, value / 100.0);
    if (lastFailed_) return;
    monitorDb_ = ReadDb(kMonitorDb);
    stages_.micMonitorValue = value;
    Store();
}

}  // namespace q208
