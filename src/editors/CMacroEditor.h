#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ui/UiTypes.h"

namespace q208 {

class CDeviceProfileUI;
class CMacroControlUI;
class CVantorixUSBDevice;
struct TNotifyUI;

// How the macro editor talks to the user; the main window gives the message box and the
// file dialogs, tests their own.
struct MacroDialogs {
    std::function<bool(const std::string& key)> confirm;  // OK and Cancel; true for OK
    std::function<void(const std::string& key)> inform;
    std::function<std::optional<std::string>()> chooseImport;  // a ".mac" file, nothing when cancelled
    std::function<std::optional<std::string>()> chooseExport;
    // The event list's context menu at the pointer.
    std::function<void()> openEventMenu;
};

// The macro editor of the keyboard and mouse pages: the buttons, lists and menu items of
// the page's macro panel (CMacroControlUI), recording through the input hook, and deleting
// a macro with the renumbering of the macro keys of every profile of the device.
//
// UI thread only.
class CMacroEditor {
public:
    // Installs the input hook in `mode`, or removes it with 0.
    using HookControl = std::function<void(int mode)>;
    CMacroEditor(HookControl hookControl, MacroDialogs dialogs);

    static CMacroControlUI* PanelOf(CVantorixUSBDevice* device);
    static bool HasMacroPage(const CVantorixUSBDevice& device);

    // A notification routed to the macro editor for the page of `device`.
    bool OnNotify(TNotifyUI& msg, CVantorixUSBDevice* device);
    // An item of the event list's context menu; false when it is not the editor's.
    bool OnMenuCommand(std::string_view item, CVantorixUSBDevice* device);
    // A keyboard or mouse message of the input hook (by registered name).
    bool OnHookEvent(std::string_view name, WPARAM wParam, LPARAM lParam);
    // The hook let go by itself (the window lost the focus): the recording ends.
    void OnHookReleased();
    void OnDeviceShown(CVantorixUSBDevice* device);
    void OnDeviceHidden(CVantorixUSBDevice* device);

    // Starts recording on the device's page with hook mode and delay mode.
    void StartRecording(CVantorixUSBDevice& device, int hookMode, int delayMode);
    void StopRecording();
    bool IsRecording() const { return recording_; }
    // The questions, the renumbering in every profile, the device write, the deletion.
    bool DeleteMacro(CVantorixUSBDevice& device);
    bool SaveMacro(CVantorixUSBDevice& device);

private:
    bool OnClick(std::string_view name, CVantorixUSBDevice& device);
    void RefreshKeyEditor(CVantorixUSBDevice& device);
    void WriteMacros(CVantorixUSBDevice& device);

    HookControl hookControl_;
    MacroDialogs dialogs_;
    bool recording_ = false;
    int hookMode_ = 0;
    CVantorixUSBDevice* recordDevice_ = nullptr;
    std::weak_ptr<int> recordLife_;
};

}  // namespace q208
