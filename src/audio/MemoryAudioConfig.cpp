#include "audio/MemoryAudioConfig.h"

#include <cmath>
#include <cstdio>

#include "audio/AudioProperties.h"

namespace q208 {
namespace {

using namespace audioprop;

constexpr int kFailed = 1;

// Level in dB of a 0.0 … 1.0 scalar on a cubic volume curve, as sound servers use.
double DbOf(double scalar) { return scalar <= 0 ? -120.0 : 60.0 * std::log10(scalar); }

std::string Text(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

bool ReadOnly(const std::string& p) {
    return p == kMaxVol || p == kMinVol || p == kVolStep || p == kMonitorMaxVol || p == kMonitorMinVol ||
           p == kMonitorVolStep || p == kSupportFeature;
}

}  // namespace

MemoryAudioConfig::MemoryAudioConfig() { Reset(); }

void MemoryAudioConfig::Reset() {
    values_.clear();
    values_[{kRecording, kMicScalar}] = 0.5;
    values_[{kRecording, kMonitorScalar}] = 0.5;
    values_[{kRecording, kMicMute}] = 0;
    values_[{kRecording, kMonitorMute}] = 1;
}

void MemoryAudioConfig::SetUp(bool up) {
    if (up && !up_) {
        ++generation_;
        Reset();
    }
    up_ = up;
}

int MemoryAudioConfig::Init() { return up_ ? 0 : kFailed; }
int MemoryAudioConfig::CreateDeviceList() { return up_ ? 0 : kFailed; }

int MemoryAudioConfig::GetDeviceCount(int direction, int& count) {
    count = up_ && (direction == kPlayback || direction == kRecording) ? 1 : 0;
    return up_ ? 0 : kFailed;
}

int MemoryAudioConfig::GetDeviceById(int direction, int index, AudioDeviceRecord& record) {
    if (!up_ || index != 0 || (direction != kPlayback && direction != kRecording)) return kFailed;
    record = AudioDeviceRecord{direction, direction == kPlayback ? kTypePlayback : kTypeRecording, 0, kStatePresent};
    return 0;
}

bool MemoryAudioConfig::Known(const std::string& p) const {
    if (p.starts_with(kEqSliderPrefix)) return true;
    static const std::set<std::string> known{kEqEnable,  kMicScalar,  kMicDb,     kMicMute,       kMonitorScalar,
                                             kMonitorDb, kMonitorMute, kMaxVol,   kMinVol,        kVolStep,
                                             kMonitorMaxVol, kMonitorMinVol, kMonitorVolStep, kSupportFeature};
    if (known.contains(p)) return true;
    return voice_ && (p == kVoiceEnable || p == kVoiceSelection || p == kEchoEnable);
}

double MemoryAudioConfig::Value(int direction, const std::string& property) const {
    const auto it = values_.find({direction, property});
    return it == values_.end() ? 0 : it->second;
}

int MemoryAudioConfig::PropertyControl(const AudioDeviceRecord& device, const std::string& p, AudioValue& value,
                                       int direction) {
    if (!up_ || device.state != kStatePresent) return kFailed;
    const int side = device.type == kTypePlayback ? kPlayback : kRecording;
    if (direction == kWrite) writes_.push_back({side, p, value.number});
    if (!Known(p) || failing_.contains(p)) return kFailed;
    if (direction == kWrite) {
        if (ReadOnly(p) || p == kMicDb || p == kMonitorDb) return kFailed;  // levels are set by their scalar
        values_[{side, p}] = value.number;
        return 0;
    }
    if (p == kSupportFeature) {
        value.text = "0,0,0,0,0,0,0";
        return 0;
    }
    if (p == kMaxVol || p == kMonitorMaxVol) value.number = 0;
    else if (p == kMinVol || p == kMonitorMinVol) value.number = DbOf(0.01);
    else if (p == kVolStep || p == kMonitorVolStep) value.number = 1;
    else if (p == kMicDb) value.number = DbOf(Value(side, kMicScalar));
    else if (p == kMonitorDb) value.number = DbOf(Value(side, kMonitorScalar));
    else value.number = Value(side, p);
    value.text = Text(value.number);
    return 0;
}

}  // namespace q208
