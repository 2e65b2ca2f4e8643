#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/UiTypes.h"

namespace q208 {

class CKeySetControlUI;
class CVantorixUSBDevice;
struct TNotifyUI;

// The key assignment editor of the keyboard and mouse pages: a key or button clicked on the
// device picture shows its record in the page's panel; saving builds the record, stores it
// in the profile and writes the key map to the device. The key capture runs on the input
// hook, which the editor asks the main window for while the capture field has the focus.
//
// It also keeps the editor-state flag the main window consults when the shown device goes
// away: the cancel and write-all buttons (and a profile reset) set it, saving and the
// default button clear it.
//
// UI thread only.
class CKeyAssignEditor {
public:
    // Installs (true) or removes (false) the input hook in key-capture mode.
    using HookControl = std::function<void(bool install)>;
    explicit CKeyAssignEditor(HookControl hookControl);

    // A notification routed to the key editor, for the page of `device` (the shown one);
    // false when it is not one the editor acts on.
    bool OnNotify(TNotifyUI& msg, CVantorixUSBDevice* device);
    // The hook's single-key message.
    void OnHookKey(WPARAM wParam, LPARAM lParam);
    // The hook let go by itself (the window lost the focus).
    void OnHookReleased();
    // The device's page is shown: macro list and key-set markers follow its profile.
    void OnDeviceShown(CVantorixUSBDevice* device);
    // The device's page goes away (hidden or removed): a capture on it ends.
    void OnDeviceHidden(CVantorixUSBDevice* device);
    // Ends the capture (the hook is removed).
    void EndCapture();

    bool EditorState() const { return editorState_; }
    void SetEditorState(bool state) { editorState_ = state; }
    bool IsCapturing() const { return capturing_; }
    int SelectedKey() const { return selectedKey_; }

    // The panel on a device's page, or null.
    static CKeySetControlUI* PanelOf(CVantorixUSBDevice* device);
    // Each key button shows the key-set marker while its key does not do what it did from
    // the factory.
    static void RefreshMarkers(CVantorixUSBDevice& device);
    // The names of the macros a device's keys can play (its macro index).
    static std::vector<std::string> MacroNamesOf(CVantorixUSBDevice& device);

private:
    void SelectKey(CVantorixUSBDevice& device, int key);
    void Save(CVantorixUSBDevice& device);
    void WriteAll(CVantorixUSBDevice& device);
    void ResetAllKeys(CVantorixUSBDevice& device);
    void StartCapture(CVantorixUSBDevice& device);
    bool OnClick(std::string_view name, CVantorixUSBDevice& device);

    HookControl hookControl_;
    bool editorState_ = false;
    bool capturing_ = false;
    int selectedKey_ = -1;
    CVantorixUSBDevice* captureDevice_ = nullptr;
    std::weak_ptr<int> captureLife_;
};

}  // namespace q208
