#include "profile/CMouseProfiledata.h"

#include <algorithm>

#include "profile/JsonAccess.h"
#include "profile/RecordFields.h"

namespace q208 {
using fields::Field;

namespace {

using StageField = Field<DpiStage, std::uint8_t>;
constexpr StageField kStageByteFields[] = {
    {nullptr, "StageActive", &DpiStage::active},
    {nullptr, "StageXY", &DpiStage::xy},
    {nullptr, "StageColorR", &DpiStage::red},
    {nullptr, "StageColorG", &DpiStage::green},
    {nullptr, "StageColorB", &DpiStage::blue},
};
constexpr const char* kStageDpiX = "StageDPIX";
constexpr const char* kStageDpiY = "StageDPIY";

using SettingsField = Field<MouseSettingsRecord, std::uint16_t>;
constexpr SettingsField kSettingsFields[] = {
    {"SystemStages", "DoubleClickTime", &MouseSettingsRecord::doubleClickTime},
    {"SystemStages", "MouseSpeed", &MouseSettingsRecord::mouseSpeed},
    {"SystemStages", "PointerPrecision", &MouseSettingsRecord::pointerPrecision},
    {"SystemStages", "ScorllPage", &MouseSettingsRecord::scrollPage},
    {"SystemStages", "WheelScorlllinse", &MouseSettingsRecord::wheelLines},
    {"ReportStages", "StageActive", &MouseSettingsRecord::pollingIndex},
    {"ReportStages", "ble_sleep1", &MouseSettingsRecord::bleSleep1},
    {"ReportStages", "ble_sleep2", &MouseSettingsRecord::bleSleep2},
    {"ReportStages", "device_sleep1", &MouseSettingsRecord::deviceSleep1},
    {"ReportStages", "device_sleep2", &MouseSettingsRecord::deviceSleep2},
    {"SystemStages", "Logoledmode", &MouseSettingsRecord::logoLedMode},
};

DpiStage ReadStage(Json::Value& element) {
    DpiStage stage = fields::Read(element, kStageByteFields);
    if (element.isNull()) return stage;
    stage.SetDpiX(fields::Clamped<std::uint16_t>(json::ToInt(json::Member(element, kStageDpiX))));
    stage.SetDpiY(fields::Clamped<std::uint16_t>(json::ToInt(json::Member(element, kStageDpiY))));
    return stage;
}

void WriteStage(Json::Value& element, const DpiStage& stage) {
    fields::Write(element, kStageByteFields, stage);
    json::WritableMember(element, kStageDpiX) = static_cast<int>(stage.DpiX());
    json::WritableMember(element, kStageDpiY) = static_cast<int>(stage.DpiY());
}

}  // namespace

std::vector<DpiStage> CMouseProfiledata::GetDpiStages() {
    if (CurrentSection().isNull()) return dpiStages_;
    Json::Value& dpi = json::Member(CurrentSection(), "DPIStages");
    if (dpi.isNull()) return dpiStages_;
    activeStage_ = json::ToInt(json::Member(dpi, "StageActive"));
    Json::Value& list = json::Member(dpi, "StageDPIs");
    // The active stage names one of the mouse's stages; a stored value beyond them reads
    // as the nearest one.
    activeStage_ = std::clamp(activeStage_, 0, kDpiStageCount - 1);
    if (!list.isArray()) return dpiStages_;
    for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
        const DpiStage stage = ReadStage(list[i]);
        if (i < dpiStages_.size()) {
            dpiStages_[i] = stage;
        } else {
            dpiStages_.push_back(stage);
        }
    }
    return dpiStages_;
}

void CMouseProfiledata::SetDpiStages(const std::vector<DpiStage>& stages) {
    Json::Value& list = json::WritableMember(json::WritableMember(CurrentSection(), "DPIStages"), "StageDPIs");
    for (std::size_t i = 0; i < stages.size() && json::IsElementIndex(static_cast<long long>(i)); ++i) {
        WriteStage(json::WritableElement(list, static_cast<int>(i)), stages[i]);
    }
}

void CMouseProfiledata::SetActiveDpiStage(int stage) {
    json::WritableMember(json::WritableMember(CurrentSection(), "DPIStages"), "StageActive") = stage;
}

MouseSettingsRecord CMouseProfiledata::GetMouseSettings() {
    settings_ = fields::Read(CurrentSection(), kSettingsFields);
    return settings_;
}

void CMouseProfiledata::SetMouseSettings(const MouseSettingsRecord& settings) {
    fields::Write(CurrentSection(), kSettingsFields, settings);
}

}  // namespace q208
