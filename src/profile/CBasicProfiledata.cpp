#include "profile/CBasicProfiledata.h"

#include <algorithm>

#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "profile/ProfileDocument.h"
#include "profile/ProfilePaths.h"
#include "profile/RecordFields.h"

namespace q208 {
namespace fs = std::filesystem;
using fields::Field;
using fields::Kind;

namespace {

using LightInfoField = Field<LightInfoRecord, std::uint8_t>;
constexpr LightInfoField kLightInfoFields[] = {
    {"LightInfo", "SelectItem", &LightInfoRecord::selectItem},
    {"LightInfo", "Light", &LightInfoRecord::light},
    {"LightInfo", "Speed", &LightInfoRecord::speed},
    {"LightInfo", "Fx", &LightInfoRecord::fx},
    {"LightInfo", "MultiColor", &LightInfoRecord::multiColor, Kind::Boolean},
    {"LightInfo", "Red", &LightInfoRecord::red},
    {"LightInfo", "Green", &LightInfoRecord::green},
    {"LightInfo", "Blue", &LightInfoRecord::blue},
    {"LightInfo", "ZZCCLedMode", &LightInfoRecord::zzccLedMode},
    {"LightInfo", "CustomGroup", &LightInfoRecord::customGroup},
    {"LightInfo", "OldLedmode", &LightInfoRecord::oldLedMode},
};

using LightListField = Field<LightListEntry, std::uint8_t>;
constexpr LightListField kLightListFields[] = {
    {nullptr, "LEDREGMode", &LightListEntry::mode},
    {nullptr, "LEDBrightness", &LightListEntry::brightness},
    {nullptr, "LEDSpeed", &LightListEntry::speed},
    {nullptr, "LEDDirection", &LightListEntry::direction, Kind::Boolean},
    {nullptr, "LEDMultiColor", &LightListEntry::multiColor, Kind::Boolean},
    {nullptr, "red", &LightListEntry::red},
    {nullptr, "green", &LightListEntry::green},
    {nullptr, "blue", &LightListEntry::blue},
};

using AudioLightField = Field<AudioLightRecord, std::uint8_t>;
constexpr AudioLightField kAudioLightFields[] = {
    {"AudioLightInfo", "AudioMode", &AudioLightRecord::audioMode},
    {"AudioLightInfo", "BkColorR", &AudioLightRecord::bkRed},
    {"AudioLightInfo", "BkColorG", &AudioLightRecord::bkGreen},
    {"AudioLightInfo", "BkColorB", &AudioLightRecord::bkBlue},
    {"AudioLightInfo", "FgColorR", &AudioLightRecord::fgRed},
    {"AudioLightInfo", "FgColorG", &AudioLightRecord::fgGreen},
    {"AudioLightInfo", "FgColorB", &AudioLightRecord::fgBlue},
    {"AudioLightInfo", "7ColorFlags", &AudioLightRecord::sevenColor, Kind::Boolean},
    {"AudioLightInfo", "ColorTypeFlags", &AudioLightRecord::colorType, Kind::Boolean},
};

using EffectStepField = Field<LightEffectStep, std::uint8_t>;
constexpr EffectStepField kEffectStepFields[] = {
    {nullptr, "LEDREGMode", &LightEffectStep::mode},
    {nullptr, "LEDBrightness", &LightEffectStep::brightness},
    {nullptr, "LEDSpeed", &LightEffectStep::speed},
    {nullptr, "LEDDirection", &LightEffectStep::direction},
    {nullptr, "LEDMultiColor", &LightEffectStep::multiColor},
    {nullptr, "red", &LightEffectStep::red},
    {nullptr, "green", &LightEffectStep::green},
    {nullptr, "blue", &LightEffectStep::blue},
};
using EffectTimeField = Field<LightEffectStep, std::int32_t>;
constexpr EffectTimeField kEffectTimeFields[] = {
    {nullptr, "Time", &LightEffectStep::time},
    {nullptr, "Cyle", &LightEffectStep::cycle},
};

// Custom light files are a list of steps a device plays: a few KiB of JSON. Anything far
// larger is not one and is refused before it is parsed.
constexpr int kMaxCustomLightSteps = 256;
constexpr JsonLimits kCustomLightLimits{256u << 10, 16};

// A key-map code is 24 bits; a stored value outside them reads as the nearest one.
int AssignmentOf(const Json::Value& value) { return std::clamp(json::ToInt(value), 0, 0xFFFFFF); }

// The array under key, or null when the section has no usable one (a value of another
// type is left in place and traced).
Json::Value& ListOf(Json::Value& section, const char* key) {
    Json::Value& list = json::Member(section, key);
    if (!list.isNull() && !list.isArray()) Trace("profile: \"%s\" is not an array; read as empty", key);
    return list;
}

}  // namespace

void CBasicProfiledata::SetPath(const fs::path& path) {
    if (!path.empty()) path_ = path;
}

void CBasicProfiledata::SetDefaultPath(const fs::path& path) {
    if (!path.empty()) defaultPath_ = path;
}

const Json::Value& CBasicProfiledata::LoadSection(const fs::path& path) { return LoadInto(section_, path); }

const Json::Value& CBasicProfiledata::LoadReferenceSection(const fs::path& path) {
    return LoadInto(referenceSection_, path);
}

bool CBasicProfiledata::IsDefaultPath(const fs::path& path) const {
    return !defaultPath_.empty() && path.lexically_normal() == defaultPath_.lexically_normal();
}

const Json::Value& CBasicProfiledata::LoadInto(Json::Value& target, const fs::path& path) {
    // The factory file is only read, also when a reset loads it as the section: nothing in
    // the data root is ever moved aside or written.
    if (IsDefaultPath(path)) {
        target = DefaultSection();
        return target;
    }
    Json::Value& document = document_.Get(path);
    target = CopySection(document, sectionIndex_);
    if (!target.isNull()) return target;
    target = DefaultSection();
    if (document_.Locked()) {
        // What the file holds is the user's: the factory section is used in memory only.
        Trace("profile: %s is left as it is; the factory settings are used\n", path.c_str());
        return target;
    }
    if (PutSection(document, sectionIndex_, target)) document_.Written(path, WriteDocument(document, path));
    return target;
}

Json::Value CBasicProfiledata::DefaultSection() const {
    Json::Value document = ReadJsonValue(defaultPath_);
    if (!document.isObject()) return Json::Value();
    return TakeSection(document, sectionIndex_);
}

const Json::Value& CBasicProfiledata::LoadLightConfig(const fs::path& path) {
    lightConfig_ = ReadJsonValue(path);
    return lightConfig_;
}

bool CBasicProfiledata::Save() { return SaveSection(section_, path_); }

bool CBasicProfiledata::SaveSection(const Json::Value& section, const fs::path& path) {
    if (path.empty()) {
        Trace("profile: no path to save section %d to", sectionIndex_);
        return false;
    }
    if (IsDefaultPath(path)) {
        Trace("profile: the factory file %s is only read\n", path.c_str());
        return false;
    }
    Json::Value& document = document_.Get(path);
    if (document_.Locked()) {
        Trace("profile: %s could not be read; it is not written over\n", path.c_str());
        return false;
    }
    if (!PutSection(document, sectionIndex_, section)) return false;
    const bool written = WriteDocument(document, path);
    document_.Written(path, written);
    return written;
}

bool CBasicProfiledata::SaveReferenceSection(const fs::path& path) { return SaveSection(referenceSection_, path); }

bool CBasicProfiledata::WriteDocument(const Json::Value& document, const fs::path& path) {
    return WriteJsonFile(document, path) == 0;
}

LightInfoRecord CBasicProfiledata::GetLightInfo() {
    lightInfo_ = fields::Read(section_, kLightInfoFields);
    return lightInfo_;
}

void CBasicProfiledata::SetLightInfo(const LightInfoRecord& info) {
    fields::Replace(section_, "LightInfo", kLightInfoFields, info);
}

std::vector<LightListEntry> CBasicProfiledata::GetLightList() {
    lightList_.clear();
    if (section_.isNull()) return lightList_;
    Json::Value& list = ListOf(section_, "LightList");
    if (!list.isArray()) return lightList_;
    lightList_.resize(list.size());
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        Json::Value& element = list[i];
        if (!element.isObject()) continue;
        lightList_[i] = fields::Read(element, kLightListFields);
        lightList_[i].present = 1;
    }
    return lightList_;
}

fs::path CBasicProfiledata::CustomLightFile(int slot) const {
    const Json::Value& entry = json::At(json::At(json::Find(lightConfig_, "LightInfo"), sectionIndex_), slot);
    const std::string guid = json::ToString(json::Find(entry, "Guid"));
    if (!IsPlainIdentifier(guid)) {
        Trace("custom light %d: \"%s\" is not a plain identifier; not opened", slot, guid.c_str());
        return {};
    }
    // Custom light files live beside the light configuration document.
    return lightConfigPath_.parent_path() / (guid + kCustomLightExtension);
}

std::vector<LightEffectStep> CBasicProfiledata::GetCustomLightEffects(int builtInModeCount) {
    customSteps_.clear();
    if (lightConfig_.isNull()) return customSteps_;
    const int selected = GetLightInfo().selectItem;
    if (selected < builtInModeCount) return customSteps_;
    const fs::path file = CustomLightFile(selected - builtInModeCount);
    if (file.empty()) return customSteps_;
    Json::Value document = ReadJsonFile(file, kCustomLightLimits).value;
    const Json::Value& steps = json::Find(document, "LEDEffectList");
    if (!steps.isArray()) return customSteps_;
    if (steps.size() > kMaxCustomLightSteps) {
        Trace("custom light %s: %u steps, more than the %d a device holds; not used", file.c_str(), steps.size(),
              kMaxCustomLightSteps);
        return customSteps_;
    }
    for (Json::ArrayIndex i = 0; i < steps.size(); ++i) {
        Json::Value& element = document["LEDEffectList"][i];
        LightEffectStep step = fields::Read(element, kEffectStepFields);
        const LightEffectStep times = fields::Read(element, kEffectTimeFields);
        step.time = times.time;
        step.cycle = times.cycle;
        customSteps_.push_back(step);
    }
    return customSteps_;
}

std::vector<KeyAssignmentRecord> CBasicProfiledata::ReadKeyList(Json::Value& section) const {
    std::vector<KeyAssignmentRecord> records;
    if (section.isNull()) return records;
    Json::Value& list = ListOf(section, "KeyList");
    if (!list.isArray()) return records;
    records.resize(list.size());
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        KeyAssignmentRecord& record = records[i];
        record.current.index = record.defaults.index = static_cast<std::uint16_t>(i);
        Json::Value& element = list[i];
        if (!element.isObject()) continue;
        UnpackAssignment(AssignmentOf(json::Member(element, "Assignment")), record.current);
        UnpackAssignment(AssignmentOf(json::Member(element, "DefaultAssignment")), record.defaults);
    }
    return records;
}

std::vector<KeyAssignmentRecord> CBasicProfiledata::GetKeyList() {
    keyList_ = ReadKeyList(section_);
    return keyList_;
}

std::vector<KeyAssignmentRecord> CBasicProfiledata::GetReferenceKeyList() {
    referenceKeyList_ = ReadKeyList(referenceSection_);
    return referenceKeyList_;
}

bool CBasicProfiledata::SetKeyList(const std::vector<KeyAssignmentRecord>& records) {
    if (!records.empty() && !json::IsElementIndex(static_cast<long long>(records.size()) - 1)) {
        Trace("profile: %zu key assignments are more than a list holds; not stored", records.size());
        return false;
    }
    Json::Value& list = json::WritableMember(section_, "KeyList");
    for (std::size_t i = 0; i < records.size(); ++i) {
        json::WritableMember(json::WritableElement(list, static_cast<int>(i)), "Assignment") =
            PackAssignment(records[i].current);
    }
    return true;
}

AudioLightRecord CBasicProfiledata::GetAudioLightInfo() {
    audioLight_ = fields::Read(section_, kAudioLightFields);
    return audioLight_;
}

void CBasicProfiledata::SetAudioLightInfo(const AudioLightRecord& info) {
    fields::Replace(section_, "AudioLightInfo", kAudioLightFields, info);
}

}  // namespace q208
