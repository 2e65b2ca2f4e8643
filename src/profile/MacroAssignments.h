#pragma once

// Keeping the macro keys of a device's profiles in step when a macro is deleted: key
// assignments store the macro's position in the index, so every later macro's number drops.

#include <filesystem>
#include <vector>

namespace q208 {

struct MacroProfileChanges {
    std::vector<std::filesystem::path> changed;  // written back
    std::vector<std::filesystem::path> failed;   // changed but not written
};

class MacroAssignments {
public:
    // Renumbers the key assignments of each profile document (device section 0) for the
    // deletion of macro `deleted`; documents without a change are not written.
    static MacroProfileChanges RenumberProfiles(const std::vector<std::filesystem::path>& profiles,
                                                const std::filesystem::path& defaultFile, int deleted);
    // The same over every profile of the device's profile list.
    static MacroProfileChanges RenumberDeviceProfiles(const std::filesystem::path& profileFolder,
                                                      const std::filesystem::path& defaultFile, int deviceKind,
                                                      int deleted);
};

}  // namespace q208
