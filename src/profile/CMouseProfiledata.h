#pragma once

#include <vector>

#include "profile/CBasicProfiledata.h"

namespace q208 {

// Mouse profile: adds the DPI stages ("DPIStages") and the mouse settings spread over
// "SystemStages" and "ReportStages".
class CMouseProfiledata : public CBasicProfiledata {
public:
    // The mouse has seven DPI stages (0 ... 6).
    static constexpr int kDpiStageCount = 7;

    // Merges the stages of the section into the kept list position by position: stages the
    // section has overwrite, further ones are appended, kept stages beyond the section's
    // list stay. Also refreshes the active stage. Returns the kept list.
    std::vector<DpiStage> GetDpiStages();
    // The active stage as of the last GetDpiStages.
    int GetActiveDpiStage() const { return activeStage_; }
    // Writes every key of every stage in place; the active stage is not touched.
    void SetDpiStages(const std::vector<DpiStage>& stages);
    void SetActiveDpiStage(int stage);

    MouseSettingsRecord GetMouseSettings();
    void SetMouseSettings(const MouseSettingsRecord& settings);

private:
    std::vector<DpiStage> dpiStages_;
    int activeStage_ = 0;
    MouseSettingsRecord settings_;
};

}  // namespace q208
