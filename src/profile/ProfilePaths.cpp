#include "profile/ProfilePaths.h"

#include <string>

#include "platform/Paths.h"
#include "platform/Trace.h"
#include "profile/JsonFile.h"

namespace q208 {
namespace fs = std::filesystem;

fs::path DefaultProfileFile(std::string_view deviceFolder) {
    return FindDataRoot().defaultData / (std::string(deviceFolder) + kProfileExtension);
}

fs::path DeviceUserFolder(std::string_view deviceFolder) {
    const fs::path product = UserDataFolder();
    const fs::path folder = product / std::string(deviceFolder);
    if (!EnsureFolder(product) || !EnsureFolder(folder)) Trace("cannot create %s", folder.c_str());
    return folder;
}

fs::path ProfileFile(std::string_view deviceFolder, std::string_view profileId) {
    if (!IsPlainIdentifier(profileId)) {
        Trace("profile id \"%.*s\" refused as a file name", static_cast<int>(profileId.size()), profileId.data());
        return {};
    }
    return DeviceUserFolder(deviceFolder) / (std::string(profileId) + kProfileExtension);
}

fs::path LightConfigFile(std::string_view deviceFolder) {
    return DeviceUserFolder(deviceFolder) / (std::string(kLightConfigName) + kLightConfigExtension);
}

}  // namespace q208
