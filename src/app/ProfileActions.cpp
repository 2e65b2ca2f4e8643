#include "app/ProfileActions.h"

#include <array>

#include "app/CMsgWnd.h"
#include "devices/base/CVantorixUSBDevice.h"
#include "editors/CDeviceProfileUI.h"
#include "platform/Trace.h"
#include "profile/ProfileList.h"
#include "ui/qt/FileDialogs.h"

namespace q208 {

namespace {

constexpr const char* kConfirmCreate = "message_text_27";
constexpr const char* kConfirmCopy = "message_text_32";
constexpr const char* kConfirmDelete = "message_text_29";
constexpr const char* kConfirmReset = "message_text_22";
constexpr const char* kNameInUse = "message_text_5";
constexpr const char* kBlankName = "message_text_25";
constexpr const char* kImportLimit = "message_text_34";
constexpr const char* kImportFailed = "message_text_33";

}  // namespace

// The panel's buttons and what each does.
struct ProfileActions::Button {
    std::string_view name;
    void (ProfileActions::*action)(CDeviceProfileUI&);
};

ProfileActions::ProfileActions(ProfileDialogs dialogs, HWND owner, std::function<int()> dpi)
    : dialogs_(std::move(dialogs)) {
    if (!dialogs_.confirm) {
        dialogs_.confirm = [owner, dpi](const std::string& key) {
            return ShowMessageBox(owner, {}, key, dpi(), true, kMessageBoxOkCancel) == 1;
        };
    }
    if (!dialogs_.inform) {
        dialogs_.inform = [owner, dpi](const std::string& key) { ShowMessageBox(owner, {}, key, dpi(), true, kMessageBoxOk); };
    }
    if (!dialogs_.chooseImport) {
        dialogs_.chooseImport = [owner] { return ShowOpenFileDialog(owner, {}, kFileFilter); };
    }
    if (!dialogs_.chooseExport) {
        dialogs_.chooseExport = [owner] { return ShowSaveFileDialog(owner, {}, kFileFilter); };
    }
}

bool ProfileActions::OnClick(CControlUI& sender) {
    static constexpr std::array<Button, 8> kButtons{{
        {"device_add_btn", &ProfileActions::Create},
        {"device_copy_btn", &ProfileActions::Copy},
        {"device_sub_btn", &ProfileActions::Delete},
        {"device_reset_btn", &ProfileActions::Reset},
        {"device_import_btn", &ProfileActions::Import},
        {"device_export_btn", &ProfileActions::Export},
        {"device_profile_edit_save_btn", &ProfileActions::Rename},
        {"profile_fun_spread_btn", &ProfileActions::ToggleMenu},
    }};
    for (const Button& button : kButtons) {
        if (sender.GetName() != button.name) continue;
        CDeviceProfileUI* panel = PanelOf(&sender);
        if (!panel) return false;
        (this->*button.action)(*panel);
        return true;
    }
    return false;
}

void ProfileActions::Create(CDeviceProfileUI& panel) {
    if (!dialogs_.confirm(kConfirmCreate)) return;
    const ProfileResult result = panel.CreateProfile();
    if (const auto key = ProfileResultMessageKey(result, false); !key.empty()) dialogs_.inform(std::string(key));
}

void ProfileActions::Copy(CDeviceProfileUI& panel) {
    if (!dialogs_.confirm(kConfirmCopy)) return;
    const ProfileResult result = panel.CopyProfile();
    if (const auto key = ProfileResultMessageKey(result, false); !key.empty()) dialogs_.inform(std::string(key));
}

void ProfileActions::Delete(CDeviceProfileUI& panel) {
    if (!dialogs_.confirm(kConfirmDelete)) return;
    if (panel.DeleteProfile() != ProfileResult::Done) return;
    // At once, not on the timer: the device must not save the deleted profile's document
    // back in between.
    if (CVantorixUSBDevice* device = DeviceOf(&panel)) SwitchDevice(panel, *device);
}

void ProfileActions::Reset(CDeviceProfileUI& panel) {
    if (!dialogs_.confirm(kConfirmReset)) return;
    if (panel.ResetProfile() != ProfileResult::Done) return;
    // The device holds the old document in memory and would save it back over the reset
    // one: it loads the reset profile and writes it.
    if (CVantorixUSBDevice* device = DeviceOf(&panel)) SwitchDevice(panel, *device);
}

void ProfileActions::Import(CDeviceProfileUI& panel) {
    const std::optional<std::string> file = dialogs_.chooseImport();
    if (!file || file->empty()) return;
    ProfileResult detail = ProfileResult::Done;
    const int result = panel.ImportProfile(*file, ProfileList::ImportName(*file), &detail);
    if (result == 0) {
        dialogs_.inform(kImportLimit);
    } else if (result < 0 && detail != ProfileResult::Ignored) {
        // A file without a profile's name and identifier is passed over without a word, as
        // it always was; one that is no JSON object at all, or far too large, is refused.
        dialogs_.inform(kImportFailed);
    }
}

void ProfileActions::Export(CDeviceProfileUI& panel) {
    if (panel.GetSelectedIndex() < 0) return;
    const std::optional<std::string> file = dialogs_.chooseExport();
    if (!file || file->empty()) return;
    if (panel.ExportProfile(*file) != ProfileResult::Done) Trace("profile: exporting to %s failed\n", file->c_str());
}

void ProfileActions::Rename(CDeviceProfileUI& panel) {
    const std::string name = panel.GetNameEditText();
    if (name.empty()) return;
    switch (panel.RenameProfile(name)) {
    case 0: dialogs_.inform(kNameInUse); break;
    case 2: dialogs_.inform(kBlankName); break;
    default: break;
    }
}

void ProfileActions::ToggleMenu(CDeviceProfileUI& panel) { panel.ShowProfileMenu(!panel.IsProfileMenuShown()); }

void ProfileActions::OnComboSelect(CControlUI& combo) {
    pending_ = PanelOf(&combo);
    pendingLife_ = pending_ ? pending_->Lifetime() : std::weak_ptr<int>();
}

void ProfileActions::OnSwitchTimer(CVantorixUSBDevice* current) {
    CDeviceProfileUI* panel = pendingLife_.expired() ? nullptr : pending_;
    pending_ = nullptr;
    pendingLife_.reset();
    if (!panel) panel = PanelOfDevice(current);
    CVantorixUSBDevice* device = panel ? DeviceOf(panel) : nullptr;
    if (!device) return;
    if (!SwitchDevice(*panel, *device)) Trace("profile: %s did not take the whole profile\n", device->GetName().c_str());
}

void ProfileActions::OnSelectRequest(CVantorixUSBDevice* device, int index) {
    CDeviceProfileUI* panel = PanelOfDevice(device);
    const ProfileList* list = panel ? panel->List() : nullptr;
    if (!list || index < 0 || index >= list->Count()) {
        Trace("profile: a request to select profile %d has no such profile\n", index);
        return;
    }
    panel->SelectProfile(index, false);
    SwitchDevice(*panel, *device);
}

bool ProfileActions::SwitchDevice(CDeviceProfileUI& panel, CVantorixUSBDevice& device) {
    const int index = panel.GetSelectedIndex();
    if (index < 0) return false;
    panel.SelectProfile(index, false);
    const std::string id = panel.GetCurrentProfileUUID();
    if (id.empty()) return false;
    Trace("profile: %s switches to %s\n", device.GetName().c_str(), id.c_str());
    device.SetProfileId(id);
    device.LoadProfile();
    const bool written = device.WriteProfileToDevice();
    device.AfterLoad();
    return written;
}

CDeviceProfileUI* ProfileActions::PanelOf(CControlUI* control) {
    for (CControlUI* up = control; up; up = up->GetParent()) {
        if (auto* panel = static_cast<CDeviceProfileUI*>(up->GetInterface(CDeviceProfileUI::kClassName))) return panel;
    }
    return nullptr;
}

CDeviceProfileUI* ProfileActions::PanelOfDevice(CVantorixUSBDevice* device) {
    IDeviceProfilePanel* panel = device ? device->ProfilePanel() : nullptr;
    return panel ? dynamic_cast<CDeviceProfileUI*>(panel) : nullptr;
}

CVantorixUSBDevice* ProfileActions::DeviceOf(CControlUI* control) {
    for (CControlUI* up = control; up; up = up->GetParent()) {
        if (auto* device = static_cast<CVantorixUSBDevice*>(up->GetInterface(CVantorixUSBDevice::kClassName)))
            return device;
    }
    return nullptr;
}

}  // namespace q208
