#include "editors/CKeyAssignEditor.h"

#include "devices/base/CVantorixUSBDevice.h"
#include "devices/mouse/MouseController.h"
#include "editors/CKeySetControlUI.h"
#include "profile/MacroStore.h"
#include "platform/Trace.h"
#include "ui/CDeviceHook.h"
#include "ui/UiDefs.h"
#include "ui/UiNotify.h"

namespace q208 {

namespace {

constexpr int kKeyboardKind = 1;
constexpr int kMouseKind = 2;
constexpr std::string_view kKeyPrefix = "key_";

bool HasKeys(const CVantorixUSBDevice& device) {
    return device.GetKind() == kKeyboardKind || device.GetKind() == kMouseKind;
}

int KeyNumber(std::string_view name) {
    if (!name.starts_with(kKeyPrefix) || name.size() == kKeyPrefix.size() || name.size() > kKeyPrefix.size() + 4)
        return -1;
    int number = 0;
    for (char c : name.substr(kKeyPrefix.size())) {
        if (c < '0' || c > '9') return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

bool SameFunction(const KeyAssignmentHalf& a, const KeyAssignmentHalf& b) {
    return a.type == b.type && a.param1 == b.param1 && a.param2 == b.param2;
}

}  // namespace

CKeyAssignEditor::CKeyAssignEditor(HookControl hookControl) : hookControl_(std::move(hookControl)) {}

CKeySetControlUI* CKeyAssignEditor::PanelOf(CVantorixUSBDevice* device) {
    if (!device) return nullptr;
    CControlUI* found = device->FindControl(
        [](CControlUI* c) { return c->GetInterface(CKeySetControlUI::kClassName) ? c : nullptr; }, UIFIND_ALL);
    return found ? static_cast<CKeySetControlUI*>(found->GetInterface(CKeySetControlUI::kClassName)) : nullptr;
}

std::vector<std::string> CKeyAssignEditor::MacroNamesOf(CVantorixUSBDevice& device) {
    return MouseController::MacroNames(device.UserFolder());
}

void CKeyAssignEditor::RefreshMarkers(CVantorixUSBDevice& device) { device.ShowKeySetMarks(); }

void CKeyAssignEditor::OnDeviceShown(CVantorixUSBDevice* device) {
    if (!device || !HasKeys(*device)) return;
    if (CKeySetControlUI* panel = PanelOf(device)) {
        panel->SetDeviceKind(device->GetKind());
        panel->FillMacroList(MacroNamesOf(*device));
    }
    RefreshMarkers(*device);
}

void CKeyAssignEditor::OnDeviceHidden(CVantorixUSBDevice* device) {
    if (capturing_ && (captureLife_.expired() || captureDevice_ == device)) EndCapture();
    if (editorState_) EndCapture();
}

void CKeyAssignEditor::SelectKey(CVantorixUSBDevice& device, int key) {
    CKeySetControlUI* panel = PanelOf(&device);
    const std::vector<KeyAssignmentRecord> records = device.GetKeyAssignments();
    if (!panel || key < 0 || key >= static_cast<int>(records.size())) return;
    EndCapture();
    selectedKey_ = key;
    panel->SetDeviceKind(device.GetKind());
    if (panel->MacroCount() == 0) panel->FillMacroList(MacroNamesOf(device));
    const CControlUI* button = device.GetKeyButton(key);
    panel->SetTitle(button ? button->GetText() : std::to_string(key));
    panel->ShowAssignment(records[key].current, records[key].defaults);
}

void CKeyAssignEditor::Save(CVantorixUSBDevice& device) {
    CKeySetControlUI* panel = PanelOf(&device);
    if (!panel || selectedKey_ < 0) return;
    EndCapture();
    const KeyAssignmentHalf record = panel->BuildAssignment();
    if (!device.StoreKeyAssignment(selectedKey_, record)) {
        Trace("key editor: key %d of the device has no assignment to store\n", selectedKey_);
        return;
    }
    if (!device.WriteKeyMapToDevice()) Trace("key editor: writing the key map failed\n");
    // The key plays the macro from the device's own memory.
    if (MacroStore::IsMacroAssignment(record) && !device.WriteMacrosToDevice())
        Trace("key editor: writing the macros failed\n");
    RefreshMarkers(device);
}

void CKeyAssignEditor::WriteAll(CVantorixUSBDevice& device) {
    EndCapture();
    device.SaveProfile();
    if (!device.WriteKeyMapToDevice()) Trace("key editor: writing the key map failed\n");
}

void CKeyAssignEditor::ResetAllKeys(CVantorixUSBDevice& device) {
    EndCapture();
    const std::vector<KeyAssignmentRecord> records = device.GetKeyAssignments();
    for (int key = 0; key < static_cast<int>(records.size()); ++key) {
        if (!SameFunction(records[key].current, records[key].defaults)) device.StoreKeyAssignment(key, records[key].defaults);
    }
    if (!device.WriteKeyMapToDevice()) Trace("key editor: writing the key map failed\n");
    RefreshMarkers(device);
    if (selectedKey_ >= 0) SelectKey(device, selectedKey_);
}

void CKeyAssignEditor::StartCapture(CVantorixUSBDevice& device) {
    captureDevice_ = &device;
    captureLife_ = device.Lifetime();
    capturing_ = true;
    if (hookControl_) hookControl_(true);
}

void CKeyAssignEditor::EndCapture() {
    if (!capturing_) return;
    capturing_ = false;
    captureDevice_ = nullptr;
    captureLife_.reset();
    if (hookControl_) hookControl_(false);
}

void CKeyAssignEditor::OnHookReleased() {
    capturing_ = false;
    captureDevice_ = nullptr;
    captureLife_.reset();
}

void CKeyAssignEditor::OnHookKey(WPARAM wParam, LPARAM lParam) {
    if (!capturing_ || captureLife_.expired()) return;
    const CDeviceHook::Key key = CDeviceHook::UnpackKey(wParam, lParam);
    if (!key.down) return;
    if (CKeySetControlUI* panel = PanelOf(captureDevice_)) panel->CaptureKey(key.scanCode, key.extended);
}

bool CKeyAssignEditor::OnClick(std::string_view name, CVantorixUSBDevice& device) {
    if (const int key = KeyNumber(name); key >= 0) {
        SelectKey(device, key);
    } else if (name == "key_butt_keysave") {
        Save(device);
        editorState_ = false;
    } else if (name == "key_butt_keydefalut") {
        // The default category builds the key's factory function; saving stores it.
        EndCapture();
        if (CKeySetControlUI* panel = PanelOf(&device)) {
            const KeyAssignment& model = panel->Model();
            panel->ShowAssignment(KeyAssignmentHalf{model.Editing().index, 0, 0, 0, 0}, model.Defaults());
        }
        editorState_ = false;
    } else if (name == "key_butt_keycancel") {
        if (selectedKey_ >= 0) SelectKey(device, selectedKey_);
        EndCapture();
        editorState_ = true;
    } else if (name == "key_butt_prosave") {
        WriteAll(device);
        editorState_ = true;
    } else if (name == "default_btn") {
        ResetAllKeys(device);
    } else {
        return false;
    }
    return true;
}

bool CKeyAssignEditor::OnNotify(TNotifyUI& msg, CVantorixUSBDevice* device) {
    if (!msg.pSender || !device || !HasKeys(*device)) return false;
    const std::string& name = msg.pSender->GetName();
    if (msg.sType == DUI_MSGTYPE_CLICK) return OnClick(name, *device);
    CKeySetControlUI* panel = PanelOf(device);
    if (!panel) return false;
    if (msg.sType == DUI_MSGTYPE_ITEMSELECT) {
        panel->OnSelectionChanged(name);
        return true;
    }
    if (name == CKeySetControlUI::kCaptureEdit) {
        if (msg.sType == DUI_MSGTYPE_SETFOCUS) StartCapture(*device);
        if (msg.sType == DUI_MSGTYPE_KILLFOCUS) EndCapture();
        return true;
    }
    // The other controls of the panel (edits, modifier options) are read when the user saves.
    return true;
}

}  // namespace q208
