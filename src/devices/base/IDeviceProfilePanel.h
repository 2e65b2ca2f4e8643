#pragma once

#include <filesystem>
#include <string>

namespace q208 {

// What a device object needs of the profile panel on its page: it hands the panel its
// folders and kind once the page is built, and asks it which profile is selected. The
// panel control implements it and hands it out through GetInterface(kInterfaceName).
class IDeviceProfilePanel {
public:
    static constexpr const char* kInterfaceName = "DeviceProfilePanel";

    virtual ~IDeviceProfilePanel() = default;

    virtual void SetProfilePaths(const std::filesystem::path& profileFolder, const std::filesystem::path& defaultDocument) = 0;
    virtual void SetDeviceKind(int kind) = 0;
    // Fills the drop-down from the list file (making the first profile on a first start),
    // selects the stored profile and shows the page's option tabs for the kind.
    virtual void LoadProfileList() = 0;
    // Selects one option tab of the page (1 the lighting tab); other numbers clear them all.
    virtual void SelectOptionTab(int tab) = 0;
    // The selected profile's identifier; empty before LoadProfileList.
    virtual std::string GetCurrentProfileUUID() const = 0;
};

}  // namespace q208
