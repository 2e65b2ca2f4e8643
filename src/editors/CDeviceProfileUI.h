#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include <json/value.h>

#include "devices/base/IDeviceProfilePanel.h"
#include "profile/ProfileList.h"
#include "ui/CHorizontalLayoutUI.h"

namespace q208 {

class CComboUI;

// The profile panel of a device page: the drop-down of the device's profiles
// ("device_profile_combo"), the name edit ("device_profile_name_edit"), the menu of
// operations ("profile_menu_layout") and the page's option tabs. The list itself and every
// file operation are ProfileList's; the panel keeps the drop-down in step with it. Asking
// the user and showing refusals is the main window's part: each operation returns what
// happened.
//
// UI thread only.
class CDeviceProfileUI : public CHorizontalLayoutUI, public IDeviceProfilePanel {
public:
    static constexpr const char* kClassName = "DeviceProfile";
    // The page element that builds the panel from its own layout file.
    static constexpr const char* kSubLayoutName = "DeviceProfileUI";
    static constexpr const char* kLayoutFile = "XML/CustomControlXML/DeviceProfile.xml";
    static constexpr const char* kComboName = "device_profile_combo";
    static constexpr const char* kNameEditName = "device_profile_name_edit";
    static constexpr const char* kMenuName = "profile_menu_layout";
    static constexpr int kItemHeight = 30;

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;

    // ---- IDeviceProfilePanel ----
    void SetProfilePaths(const std::filesystem::path& profileFolder, const std::filesystem::path& defaultDocument) override;
    void SetDeviceKind(int kind) override { kind_ = kind; }
    void LoadProfileList() override;
    void SelectOptionTab(int tab) override;
    std::string GetCurrentProfileUUID() const override { return currentId_; }

    // ---- operations; the drop-down follows the list ----
    ProfileResult CreateProfile();
    ProfileResult CopyProfile();
    // 1 done, 0 the name is another profile's, 2 the name is blank (other failures: 0).
    int RenameProfile(std::string_view name);
    // The profile before the deleted one becomes selected (the caller switches the device).
    ProfileResult DeleteProfile();
    ProfileResult ResetProfile();
    // 1 done, 0 the limit is reached, -1 no drop-down; `detail` tells a refused file apart.
    int ImportProfile(const std::filesystem::path& file, const std::string& proposedName, ProfileResult* detail = nullptr);
    ProfileResult ExportProfile(const std::filesystem::path& target) const;
    void SelectProfile(int index, bool notify);

    int GetSelectedIndex() const;
    // Re-reads the list file: the profiles as stored (for scans over all profiles).
    int GetProfileCount();
    std::filesystem::path GetProfilePath(int index) const;
    std::string GetNameEditText() const;
    void SetNameEditText(const std::string& text);
    void ShowProfileMenu(bool show);
    bool IsProfileMenuShown() const;

    int GetDeviceKind() const { return kind_; }
    // Null before LoadProfileList.
    const ProfileList* List() const { return list_.get(); }

private:
    CControlUI* Part(std::string_view name) const;
    CComboUI* Combo() const;
    // The device page this panel sits on (or the window's root): where the option tabs are.
    CControlUI* Page() const;
    void FillCombo();
    void ApplyOptionTabs();

    std::filesystem::path folder_;
    std::filesystem::path defaultDocument_;
    int kind_ = 0;
    std::string currentId_;
    std::unique_ptr<ProfileList> list_;
    Json::Value countDocument_;
};

}  // namespace q208
