#include "profile/CQv2907Profiledata.h"

#include <algorithm>

#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/RecordFields.h"

namespace q208 {
using fields::Field;

namespace {

constexpr const char* kEqKey = "EQHzValueInfo";
constexpr const char* kCustomEqKey = "CustomEQHzValueInfo";
constexpr const char* kCustomNamesKey = "CustomEQNameInfo";
constexpr const char* kBandValueKey = "value";
constexpr int kFirstPreset = 1;

using StagesField = Field<HeadsetSettingsRecord, std::int32_t>;
constexpr StagesField kStagesFields[] = {
    {"SystemSetStages", "MagicEnable", &HeadsetSettingsRecord::magicEnable},
    {"SystemSetStages", "MagicType", &HeadsetSettingsRecord::magicType},
    {"SystemSetStages", "EqType", &HeadsetSettingsRecord::eqType},
    {"SystemSetStages", "CustomEqSeletIndex", &HeadsetSettingsRecord::customEqSelectIndex},
    {"SystemSetStages", "MicInSelect", &HeadsetSettingsRecord::micInSelect},
    {"SystemSetStages", "MicInValue", &HeadsetSettingsRecord::micInValue},
    {"SystemSetStages", "MicMoniterSelect", &HeadsetSettingsRecord::micMonitorSelect},
    {"SystemSetStages", "MicMoniterValue", &HeadsetSettingsRecord::micMonitorValue},
};

// Preset numbers as the equaliser stores them: 0 and anything past the custom preset mean
// preset 1.
int StoredPreset(int preset) {
    return (preset <= 0 || preset > CQv2907Profiledata::kCustomEqPreset) ? kFirstPreset : preset;
}

}  // namespace

std::vector<int> CQv2907Profiledata::ReadBands(const char* key, int slot) {
    std::vector<int> bands(kEqBandCount, 0);
    Json::Value& presets = json::Member(CurrentSection(), key);
    Json::Value& preset = json::Element(presets, slot);
    const bool missing = preset.isNull();
    for (int band = 0; band < kEqBandCount; ++band) {
        Json::Value& value = json::Member(json::Element(preset, band), kBandValueKey);
        if (missing) {
            value = 0;
        } else {
            bands[static_cast<std::size_t>(band)] = json::ToInt(value);
        }
    }
    return bands;
}

void CQv2907Profiledata::WriteBands(const char* key, int slot, const std::vector<int>& bands) {
    Json::Value& preset = json::Element(json::Member(CurrentSection(), key), slot);
    const int count = std::min(static_cast<int>(bands.size()), kEqBandCount);
    for (int band = 0; band < count; ++band) {
        json::Member(json::Element(preset, band), kBandValueKey) = bands[static_cast<std::size_t>(band)];
    }
}

std::vector<int> CQv2907Profiledata::GetEqBands(int preset) {
    const int stored = StoredPreset(preset);
    eqBands_ = stored == kCustomEqPreset ? std::vector<int>{} : ReadBands(kEqKey, stored);
    return eqBands_;
}

void CQv2907Profiledata::SetEqBands(int preset, const std::vector<int>& bands) {
    const int stored = StoredPreset(preset);
    if (stored != kCustomEqPreset) WriteBands(kEqKey, stored, bands);
}

std::vector<int> CQv2907Profiledata::GetCustomEqBands(int index) {
    customEqBands_ = ReadBands(kCustomEqKey, index);
    return customEqBands_;
}

void CQv2907Profiledata::SetCustomEqBands(int index, const std::vector<int>& bands) {
    WriteBands(kCustomEqKey, index, bands);
}

void CQv2907Profiledata::RemoveCustomEqBands(int index) {
    Json::Value& presets = json::Member(CurrentSection(), kCustomEqKey);
    if (!presets.isArray() || index < 0 || index >= static_cast<int>(presets.size())) return;
    Json::Value removed;
    presets.removeIndex(static_cast<Json::ArrayIndex>(index), &removed);
}

std::vector<std::string> CQv2907Profiledata::GetCustomEqNames() {
    customEqNames_.clear();
    if (CurrentSection().isNull()) return customEqNames_;
    Json::Value& list = json::Member(CurrentSection(), kCustomNamesKey);
    if (!list.isArray()) {
        if (!list.isNull()) Trace("profile: \"%s\" is not an array; read as empty", kCustomNamesKey);
        return customEqNames_;
    }
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        Json::Value& element = list[i];
        customEqNames_.push_back(element.isObject() ? json::ToString(json::Member(element, "Name")) : std::string());
    }
    return customEqNames_;
}

void CQv2907Profiledata::SetCustomEqNames(const std::vector<std::string>& names) {
    Json::Value list(Json::arrayValue);
    for (const std::string& name : names) {
        Json::Value entry(Json::objectValue);
        entry["Name"] = name;
        list.append(std::move(entry));
    }
    json::Member(CurrentSection(), kCustomNamesKey) = std::move(list);
}

HeadsetSettingsRecord CQv2907Profiledata::GetSystemSetStages() {
    systemSetStages_ = fields::Read(CurrentSection(), kStagesFields);
    return systemSetStages_;
}

void CQv2907Profiledata::SetSystemSetStages(const HeadsetSettingsRecord& stages) {
    fields::Write(CurrentSection(), kStagesFields, stages);
}

}  // namespace q208
