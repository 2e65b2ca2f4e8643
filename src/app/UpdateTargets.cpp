#include "app/UpdateTargets.h"

#include <array>
#include <string>

#include "app/DeviceModelTable.h"
#include "update/CUpdatePanel.h"

namespace q208 {

namespace {

constexpr const char* kKeyName = "Q208";
constexpr std::array<UpdateTargetRow, kDeviceModelCount> kUpdateTargetRows{{
    {"KB", "7C13", 1},
    {"MS", "7C11", 2},
    {"MP", "5D02", 3},
    {"HD", "3E48", 4},
}};

}  // namespace

std::vector<UpdateTarget> UpdateTargetsFor(const std::vector<AttachedFirmware>& devices) {
    std::vector<UpdateTarget> targets;
    for (const AttachedFirmware& device : devices) {
        if (device.model < 0 || device.model >= static_cast<int>(kDeviceModelCount) || device.version == 0) continue;
        const UpdateTargetRow& row = kUpdateTargetRows[static_cast<size_t>(device.model)];
        UpdateTarget target;
        target.versionFormat = 1;
        target.keyNumber = row.keyNumber;
        target.version = static_cast<int32_t>(device.version);
        target.keyName = kKeyName;
        target.target = row.target;
        target.keyModel = row.keyModel;
        target.displayName =
            std::string("%{device_name_") + DeviceModelTable()[static_cast<size_t>(device.model)].modelFolder + "}";
        targets.push_back(std::move(target));
    }
    return CUpdatePanel::WithProgram(std::move(targets));
}

}  // namespace q208
