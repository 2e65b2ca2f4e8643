#pragma once

#include <cstdint>
#include <vector>

#include "update/UpdateTypes.h"

namespace q208 {

// What the update service knows each device model by: the target word, the model part and
// the number of its service key, one row per row of DeviceModelTable.
struct UpdateTargetRow {
    const char* target;
    const char* keyModel;
    int32_t keyNumber;
};

// An attached device as the update check sees it: its model and its firmware version.
struct AttachedFirmware {
    int model = -1;
    uint32_t version = 0;
};

// The check's targets: the program itself first, then every attached device whose
// information block gave a firmware version (a version of 0 is no target).
std::vector<UpdateTarget> UpdateTargetsFor(const std::vector<AttachedFirmware>& devices);

}  // namespace q208
