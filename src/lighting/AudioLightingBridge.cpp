#include "lighting/AudioLightingBridge.h"

#include <array>
#include <cstring>

#include "audio/AudioRecorderIdentity.h"
#include "devices/base/CVantorixUSBDevice.h"
#include "platform/Trace.h"

namespace q208 {

namespace {

constexpr int kFrameCount = static_cast<int>(AudioBandReducer::kFrameValues);
constexpr int kRecordCount = static_cast<int>(audio::kShortRecordValues);

}  // namespace

AudioLightingBridge::AudioLightingBridge(Settings settings, ForEachDevice forEachKeyboard)
    : link_(settings.runtimeFolder),
      store_(settings.userFolder, settings.defaultFolder),
      styles_(store_.Load()),
      launcher_(settings.executable),
      watch_(link_),
      forEachKeyboard_(std::move(forEachKeyboard)) {}

bool AudioLightingBridge::Connect() {
    if (!link_.SendStart(window_)) return false;
    connected_ = true;
    SendColour();
    return true;
}

void AudioLightingBridge::Announce() {
    if (!connected_) Connect();
}

void AudioLightingBridge::Shutdown() {
    link_.SendStop();
    connected_ = false;
    launchedByUs_ = false;
}

void AudioLightingBridge::OnCopyData(const EndpointMessage& message) {
    if (message.data.empty()) return;
    if (message.dwData == audio::kLevelFrameKind) {
        ++framesTaken_;
        const auto bands = reducer_.OnFrame(message.data);
        if (!bands) return;
        forEachKeyboard_([&](CVantorixUSBDevice& device) { device.OnAudioFrame(*bands, kFrameCount); });
    } else if (message.dwData == audio::kShortRecordKind) {
        std::array<int32_t, audio::kShortRecordValues> record{};
        std::memcpy(record.data(), message.data.data(), std::min(message.data.size(), sizeof record));
        forEachKeyboard_([&](CVantorixUSBDevice& device) { device.OnAudioRecord(record, kRecordCount); });
    }
}

void AudioLightingBridge::FollowMusicMode(bool wanted, uint64_t nowMs) {
    if (connected_ && !link_.Find()) {
        connected_ = false;  // the recorder ended (its audio server went away, or it was stopped)
        launchedByUs_ = false;
    }
    if (wanted && !connected_) {
        if (Connect()) return;
        if (!link_.RecorderPresent() && launcher_.Launch(nowMs)) launchedByUs_ = true;
    } else if (!wanted && connected_ && launchedByUs_) {
        Shutdown();
    }
}

void AudioLightingBridge::ApplyStyles(const AudioLightInfo& styles) {
    styles_ = styles;
    store_.Save(styles_);
    SendColour();
}

}  // namespace q208
