#include "profile/MacroAssignments.h"

#include "platform/Trace.h"
#include "profile/CBasicProfiledata.h"
#include "profile/MacroStore.h"
#include "profile/ProfileList.h"

namespace q208 {

MacroProfileChanges MacroAssignments::RenumberProfiles(const std::vector<std::filesystem::path>& profiles,
                                                       const std::filesystem::path& defaultFile, int deleted) {
    MacroProfileChanges changes;
    for (const std::filesystem::path& path : profiles) {
        if (path.empty()) continue;
        CBasicProfiledata profile;
        profile.SetDefaultPath(defaultFile);
        profile.SetPath(path);
        profile.LoadSection(path);
        std::vector<KeyAssignmentRecord> records = profile.GetKeyList();
        if (!MacroStore::RenumberAfterDelete(records, deleted)) continue;
        if (profile.SetKeyList(records) && profile.Save()) {
            changes.changed.push_back(path);
        } else {
            Trace("macros: the macro keys of %s could not be renumbered\n", path.string().c_str());
            changes.failed.push_back(path);
        }
    }
    return changes;
}

MacroProfileChanges MacroAssignments::RenumberDeviceProfiles(const std::filesystem::path& profileFolder,
                                                             const std::filesystem::path& defaultFile, int deviceKind,
                                                             int deleted) {
    ProfileList list(profileFolder, defaultFile, deviceKind);
    if (!list.Peek()) return {};
    std::vector<std::filesystem::path> paths;
    for (int i = 0; i < list.Count(); ++i) paths.push_back(list.DocumentPath(i));
    return RenumberProfiles(paths, defaultFile, deleted);
}

}  // namespace q208
