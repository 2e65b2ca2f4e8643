#include "editors/CMacroEditor.h"

#include <array>
#include <vector>

#include "device/DeviceSlot.h"
#include "devices/base/CVantorixUSBDevice.h"
#include "editors/CDeviceProfileUI.h"
#include "editors/CKeyAssignEditor.h"
#include "editors/CKeySetControlUI.h"
#include "editors/CMacroControlUI.h"
#include "platform/RegisteredMessageNames.h"
#include "platform/Trace.h"
#include "profile/MacroAssignments.h"
#include "profile/MacroStore.h"
#include "ui/CDeviceHook.h"
#include "ui/UiDefs.h"
#include "ui/UiNotify.h"

namespace q208 {

namespace {

constexpr UINT kSysKeyDown = 0x0104;

// The hook's messages: whether a key or a mouse button, and where the event goes.
struct HookEvent {
    std::string_view name;
    bool mouse;
    int place;
};
constexpr std::array kHookEvents{
    HookEvent{kHookKeyKbMacro, false, CMacroControlUI::kAppend},
    HookEvent{kHookKeyKbMacroPrevious, false, CMacroControlUI::kBefore},
    HookEvent{kHookKeyKbMacroLater, false, CMacroControlUI::kAfter},
    HookEvent{kHookKeyKbMacroSingle, false, CMacroControlUI::kReplace},
    HookEvent{kHookKeyMsMacro, true, CMacroControlUI::kAppend},
    HookEvent{kHookKeyMsMacroPrevious, true, CMacroControlUI::kBefore},
    HookEvent{kHookKeyMsMacroLater, true, CMacroControlUI::kAfter},
    HookEvent{kHookKeyMsMacroSingle, true, CMacroControlUI::kReplace},
};

// The context menu's recordings: hook mode and delay mode (0: as "macro_check_time" says).
struct MenuRecording {
    std::string_view item;
    int hookMode;
    int delayMode;
};
constexpr std::array kMenuRecordings{
    MenuRecording{"redio_previous_record_time", CDeviceHook::kMacroBefore, 0},
    MenuRecording{"redio_previous_constant_time", CDeviceHook::kMacroBefore, CMacroControlUI::kFixedDelay},
    MenuRecording{"redio_previous_ignore_time", CDeviceHook::kMacroBefore, CMacroControlUI::kNoDelay},
    MenuRecording{"redio_later_record_time", CDeviceHook::kMacroAfter, 0},
    MenuRecording{"redio_later_constant_time", CDeviceHook::kMacroAfter, CMacroControlUI::kFixedDelay},
    MenuRecording{"redio_later_ignore_time", CDeviceHook::kMacroAfter, CMacroControlUI::kNoDelay},
    MenuRecording{"macro_action_edit", CDeviceHook::kMacroSingle, CMacroControlUI::kNoDelay},
};

// Buttons that edit the event list.
struct ListButton {
    std::string_view name;
    void (CMacroControlUI::*action)();
};
constexpr std::array kListButtons{
    ListButton{"macro_btn_up", &CMacroControlUI::MoveEventUp},
    ListButton{"macro_btn_down", &CMacroControlUI::MoveEventDown},
    ListButton{"macro_btn_top", &CMacroControlUI::MoveEventToTop},
    ListButton{"macro_btn_bottom", &CMacroControlUI::MoveEventToEnd},
    ListButton{"macro_btn_delete", &CMacroControlUI::DeleteEvent},
    ListButton{"macro_btn_deleteall", &CMacroControlUI::ClearEvents},
};

int DelayModeOf(const CMacroControlUI& panel, int given) {
    if (given != 0) return given;
    return panel.UsesFixedDelay() ? CMacroControlUI::kFixedDelay : CMacroControlUI::kRealDelay;
}

}  // namespace

CMacroEditor::CMacroEditor(HookControl hookControl, MacroDialogs dialogs)
    : hookControl_(std::move(hookControl)), dialogs_(std::move(dialogs)) {}

bool CMacroEditor::HasMacroPage(const CVantorixUSBDevice& device) {
    return device.GetKind() == kKindKeyboard || device.GetKind() == kKindMouse;
}

CMacroControlUI* CMacroEditor::PanelOf(CVantorixUSBDevice* device) {
    if (!device) return nullptr;
    CControlUI* found = device->FindControl(
        [](CControlUI* c) { return c->GetInterface(CMacroControlUI::kClassName) ? c : nullptr; }, UIFIND_ALL);
    return found ? static_cast<CMacroControlUI*>(found->GetInterface(CMacroControlUI::kClassName)) : nullptr;
}

void CMacroEditor::OnDeviceShown(CVantorixUSBDevice* device) {
    if (recording_ && recordDevice_ != device) StopRecording();  // another page is shown
    if (!device || !HasMacroPage(*device)) return;
    CMacroControlUI* panel = PanelOf(device);
    if (!panel) return;
    panel->SetInform(dialogs_.inform);
    panel->SetFolder(device->UserFolder());
    if (panel->GetSelectedMacroIndex() < 0) panel->SelectMacro(0);
}

void CMacroEditor::OnDeviceHidden(CVantorixUSBDevice* device) {
    if (recording_ && (recordLife_.expired() || recordDevice_ == device)) StopRecording();
}

void CMacroEditor::StartRecording(CVantorixUSBDevice& device, int hookMode, int delayMode) {
    CMacroControlUI* panel = PanelOf(&device);
    if (!panel || panel->GetSelectedMacroIndex() < 0) return;
    if (recording_) StopRecording();
    panel->StartRecording(DelayModeOf(*panel, delayMode));
    recording_ = true;
    hookMode_ = hookMode;
    recordDevice_ = &device;
    recordLife_ = device.Lifetime();
    if (hookControl_) hookControl_(hookMode);
}

void CMacroEditor::StopRecording() {
    const bool alive = !recordLife_.expired();
    if (recording_ && hookControl_) hookControl_(0);
    recording_ = false;
    hookMode_ = 0;
    if (alive) {
        if (CMacroControlUI* panel = PanelOf(recordDevice_)) panel->StopRecording();
    }
    recordDevice_ = nullptr;
    recordLife_.reset();
}

void CMacroEditor::OnHookReleased() {
    if (!recording_) return;
    // The hook is already gone; only the page follows.
    const HookControl control = std::move(hookControl_);
    hookControl_ = nullptr;
    StopRecording();
    hookControl_ = control;
}

bool CMacroEditor::OnHookEvent(std::string_view name, WPARAM wParam, LPARAM lParam) {
    const HookEvent* event = nullptr;
    for (const HookEvent& row : kHookEvents) {
        if (row.name == name) event = &row;
    }
    if (!event) return false;
    if (!recording_ || recordLife_.expired()) return true;  // no page records: ignored
    CMacroControlUI* panel = PanelOf(recordDevice_);
    if (!panel) return true;
    if (event->mouse) {
        const CDeviceHook::MouseButton button = CDeviceHook::UnpackMouse(wParam, lParam);
        panel->RecordMouseEvent(event->place, button.message, button.mouseData, button.point);
    } else {
        const CDeviceHook::Key key = CDeviceHook::UnpackKey(wParam, lParam);
        const bool down = wParam == WM_KEYDOWN || wParam == kSysKeyDown;
        panel->RecordKeyEvent(event->place, down, key.scanCode, key.extended);
        // One keystroke sets the selected event's key; the recording ends with it.
        if (event->place == CMacroControlUI::kReplace && down) StopRecording();
    }
    return true;
}

bool CMacroEditor::OnNotify(TNotifyUI& msg, CVantorixUSBDevice* device) {
    if (!msg.pSender || !device || !HasMacroPage(*device)) return false;
    CMacroControlUI* panel = PanelOf(device);
    if (!panel) return false;
    const std::string& name = msg.pSender->GetName();
    if (msg.sType == DUI_MSGTYPE_CLICK) return OnClick(name, *device);
    if ((msg.sType == DUI_MSGTYPE_ITEMSELECT || msg.sType == DUI_MSGTYPE_ITEMCLICK) && name == CMacroControlUI::kNameList) {
        if (panel->GetSelectedMacroIndex() >= 0) panel->LoadMacroEvents(panel->GetSelectedMacroIndex());
        return true;
    }
    if (msg.sType == DUI_MSGTYPE_KILLFOCUS && name == CMacroControlUI::kFixedDelayEdit) {
        panel->SetFixedDelay(msg.pSender->GetText());
        return true;
    }
    if (msg.sType == DUI_MSGTYPE_MENU && name == CMacroControlUI::kActionList) {
        if (!panel->IsLocked() && panel->GetSelectedMacroIndex() >= 0 && dialogs_.openEventMenu) dialogs_.openEventMenu();
        return true;
    }
    return msg.sType == DUI_MSGTYPE_KILLFOCUS && name == CMacroControlUI::kDelayCell;  // read on save
}

bool CMacroEditor::OnClick(std::string_view name, CVantorixUSBDevice& device) {
    CMacroControlUI* panel = PanelOf(&device);
    if (name == CMacroControlUI::kStartButton) {
        StartRecording(device, CDeviceHook::kMacro, 0);
    } else if (name == CMacroControlUI::kStopButton) {
        StopRecording();
    } else if (name == "macro_btn_name_add") {
        if (!panel->CreateMacro().empty()) RefreshKeyEditor(device);
    } else if (name == "macro_btn_name_sub") {
        DeleteMacro(device);
    } else if (name == "macro_btn_name_edit") {
        int index = -1;
        const std::string result = panel->RenameMacro(&index);
        if (result == "IsEmpty") {
            if (dialogs_.inform) dialogs_.inform("macro_name_empty");
        } else if (result.empty() && index >= 0) {
            if (dialogs_.inform) dialogs_.inform("macro_name_taken");
        } else if (!result.empty()) {
            RefreshKeyEditor(device);
        }
    } else if (name == "macro_btn_save") {
        SaveMacro(device);
    } else if (name == "macro_btn_cancel") {
        if (panel->GetSelectedMacroIndex() >= 0) panel->LoadMacroEvents(panel->GetSelectedMacroIndex());
    } else if (name == "macro_btn_import") {
        const auto file = dialogs_.chooseImport ? dialogs_.chooseImport() : std::nullopt;
        if (file && !panel->ImportMacro(*file).empty()) RefreshKeyEditor(device);
    } else if (name == "macro_btn_export") {
        const auto file = dialogs_.chooseExport ? dialogs_.chooseExport() : std::nullopt;
        if (file) panel->ExportMacro(*file);
    } else if (const auto rows = CMacroControlUI::MouseActionRowsOf(name)) {
        for (int row : *rows) panel->InsertMouseAction(row);
    } else {
        for (const ListButton& button : kListButtons) {
            if (button.name == name) {
                (panel->*button.action)();
                return true;
            }
        }
        return false;
    }
    return true;
}

bool CMacroEditor::OnMenuCommand(std::string_view item, CVantorixUSBDevice* device) {
    CMacroControlUI* panel = PanelOf(device);
    if (!panel) return false;
    for (const MenuRecording& row : kMenuRecordings) {
        if (row.item == item) {
            StartRecording(*device, row.hookMode, row.delayMode);
            return true;
        }
    }
    const auto rows = CMacroControlUI::MouseActionRowsOf(item);
    if (!rows) return false;
    for (int row : *rows) panel->InsertMouseAction(row);
    return true;
}

bool CMacroEditor::SaveMacro(CVantorixUSBDevice& device) {
    CMacroControlUI* panel = PanelOf(&device);
    if (!panel || !panel->SaveMacro()) return false;
    WriteMacros(device);
    return true;
}

// The device plays its macros from its own memory: after a change of a macro its keys use,
// the block goes out again.
void CMacroEditor::WriteMacros(CVantorixUSBDevice& device) {
    if (!device.WriteMacrosToDevice()) Trace("macro editor: no macros written to the device\n");
}

void CMacroEditor::RefreshKeyEditor(CVantorixUSBDevice& device) {
    if (CKeySetControlUI* keys = CKeyAssignEditor::PanelOf(&device)) keys->FillMacroList(CKeyAssignEditor::MacroNamesOf(device));
    CKeyAssignEditor::RefreshMarkers(device);
}

bool CMacroEditor::DeleteMacro(CVantorixUSBDevice& device) {
    CMacroControlUI* panel = PanelOf(&device);
    if (!panel) return false;
    if (!dialogs_.confirm || !dialogs_.confirm("message_text_4")) return false;
    const int index = panel->GetSelectedMacroIndex();
    if (index < 0) return false;
    std::vector<KeyAssignmentRecord> current = device.GetKeyAssignments();
    const bool used = std::any_of(current.begin(), current.end(),
                                  [&](const KeyAssignmentRecord& r) { return MacroStore::PlaysMacro(r.current, index); });
    if (used && !dialogs_.confirm("message_text_2")) return false;

    // The other profiles on disk; the shown one through the device, which holds it.
    const std::filesystem::path currentPath = device.GetProfileFilePath();
    std::vector<std::filesystem::path> others;
    if (CControlUI* found = device.FindControl(
            [](CControlUI* c) { return c->GetInterface(CDeviceProfileUI::kClassName) ? c : nullptr; }, UIFIND_ALL)) {
        auto* profiles = static_cast<CDeviceProfileUI*>(found->GetInterface(CDeviceProfileUI::kClassName));
        const int count = profiles->GetProfileCount();
        for (int i = 0; i < count; ++i) {
            const std::filesystem::path path = profiles->GetProfilePath(i);
            if (!path.empty() && path != currentPath) others.push_back(path);
        }
    }
    const MacroProfileChanges changes = MacroAssignments::RenumberProfiles(others, device.DefaultProfilePath(), index);
    if (!changes.failed.empty() && dialogs_.inform) dialogs_.inform("macro_write_failed");

    const std::vector<KeyAssignmentRecord> before = current;
    if (MacroStore::RenumberAfterDelete(current, index)) {
        for (size_t key = 0; key < current.size(); ++key) {
            const KeyAssignmentHalf& a = current[key].current;
            const KeyAssignmentHalf& b = before[key].current;
            if (a.type != b.type || a.param1 != b.param1 || a.param2 != b.param2)
                device.StoreKeyAssignment(static_cast<int>(key), a);
        }
        if (!device.WriteKeyMapToDevice()) Trace("macro editor: the renumbered key map was not written\n");
    }
    if (panel->DeleteMacro() < 0) return false;
    RefreshKeyEditor(device);
    WriteMacros(device);
    return true;
}

}  // namespace q208
