#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ui/UiTypes.h"

namespace q208 {

class CControlUI;
class CDeviceProfileUI;
class CVantorixUSBDevice;

// How the profile operations talk to the user. Empty members are the system's: the
// program's message box and file dialogs over the main window.
struct ProfileDialogs {
    // OK and Cancel over a language key; true for OK.
    std::function<bool(const std::string& key)> confirm;
    // OK over a language key.
    std::function<void(const std::string& key)> inform;
    // A profile file to import from or export to; nothing when cancelled.
    std::function<std::optional<std::string>()> chooseImport;
    std::function<std::optional<std::string>()> chooseExport;
};

// The main window's side of the profile panels: the buttons of a panel ask the user,
// run the panel's operation and show its refusals; a selection in a panel's drop-down,
// once the window's timer fires, switches the panel's device to that profile (load it,
// write key map, macros and lighting, show it).
class ProfileActions {
public:
    static constexpr const char* kFileFilter = "Profile Files(*.json)|*.json;||";

    // `owner` parents the dialogs (the main window, never a pop-up that may go first);
    // `dpi` is the window's current DPI for the message box.
    ProfileActions(ProfileDialogs dialogs, HWND owner, std::function<int()> dpi);

    // True when `sender` was a button of a profile panel (and was handled).
    bool OnClick(CControlUI& sender);
    // A selection in a panel's drop-down: the switch follows when the timer fires.
    void OnComboSelect(CControlUI& combo);
    // The timer: the panel that armed it, else the current device's.
    void OnSwitchTimer(CVantorixUSBDevice* current);

    // Another program (q208ctl) selects profile `index` of `device`: as if the user picked it.
    void OnSelectRequest(CVantorixUSBDevice* device, int index);

    // The device follows the panel's selection: profile id, load, write, show. False when
    // there is no selection or a write failed.
    static bool SwitchDevice(CDeviceProfileUI& panel, CVantorixUSBDevice& device);
    // The panel `control` belongs to, or the one on `device`'s page; null when none.
    static CDeviceProfileUI* PanelOf(CControlUI* control);
    static CDeviceProfileUI* PanelOfDevice(CVantorixUSBDevice* device);
    static CVantorixUSBDevice* DeviceOf(CControlUI* control);

private:
    struct Button;
    void Create(CDeviceProfileUI& panel);
    void Copy(CDeviceProfileUI& panel);
    void Delete(CDeviceProfileUI& panel);
    void Reset(CDeviceProfileUI& panel);
    void Import(CDeviceProfileUI& panel);
    void Export(CDeviceProfileUI& panel);
    void Rename(CDeviceProfileUI& panel);
    void ToggleMenu(CDeviceProfileUI& panel);

    ProfileDialogs dialogs_;
    CDeviceProfileUI* pending_ = nullptr;
    std::weak_ptr<int> pendingLife_;
};

}  // namespace q208
