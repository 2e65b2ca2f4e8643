#pragma once

#include <json/value.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/MacroEvent.h"
#include "profile/MacroStore.h"
#include "ui/CVerticalLayoutUI.h"

namespace q208 {

class CListUI;
class CListContainerElementUI;

// The macro page of the keyboard and mouse: the list of the device's macros
// ("macro_name_list") and the events of the selected one ("macro_action_list"), each row
// holding its event as JSON text and a delay cell. Events come from the recorder (keys and
// mouse buttons on the program's window, posted by the input hook) or from the insert menu;
// the macro store keeps them. Installing and removing the hook is the macro editor's
// (CMacroEditor); this panel keeps the page state.
//
// UI thread only.
class CMacroControlUI : public CVerticalLayoutUI {
public:
    static constexpr const char* kClassName = "MacroControl";
    static constexpr const char* kSubLayoutName = "MacroSetControlUI";
    static constexpr const char* kLayoutFile = "XML/CustomControlXML/MacroControl.xml";
    static constexpr const char* kNameList = "macro_name_list";
    static constexpr const char* kActionList = "macro_action_list";
    static constexpr const char* kNameEdit = "macro_edit_macroname";
    static constexpr const char* kFixedDelayEdit = "macro_fixed_time_edit";
    static constexpr const char* kFixedDelayCheck = "macro_check_time";
    static constexpr const char* kStartButton = "macro_btn_starredio";
    static constexpr const char* kStopButton = "macro_btn_stopredio";
    static constexpr const char* kDelayCell = "macro_delay";
    static constexpr const char* kEventRow = "macro_action";
    static constexpr UINT kScrollTimer = 4101;
    static constexpr UINT kScrollDelayMs = 50;
    static constexpr int kMinFixedDelay = 10;
    static constexpr int kRowHeight = 30;

    // Delay modes of a recording.
    enum DelayMode : int { kRealDelay = 1, kFixedDelay = 2, kNoDelay = 3 };
    // Where a recorded event goes: the hook modes of recording.
    enum Place : int { kAppend = 4, kBefore = 8, kAfter = 16, kReplace = 32 };

    CMacroControlUI();

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;
    void DoEvent(TEventUI& event) override;

    // How the page tells the user something: a language key for the message box.
    void SetInform(std::function<void(const std::string& key)> inform) { inform_ = std::move(inform); }
    // Milliseconds of a steady clock; the system's unless a test gives one.
    void SetClock(std::function<uint64_t()> clock) { clock_ = std::move(clock); }

    // ---- the macro list ----
    // The device's profile folder: the store's folder; the list is loaded from it.
    void SetFolder(const std::filesystem::path& folder);
    const MacroStore* Store() const { return store_.get(); }
    void LoadMacroList();
    const std::vector<std::string>& MacroNames() const { return names_; }
    // The name of the new macro; empty when none was made (at the limit: "message_text_30").
    std::string CreateMacro();
    std::string ImportMacro(const std::filesystem::path& file);
    bool ExportMacro(const std::filesystem::path& target);
    // The new name; "IsEmpty" for a blank name; empty when the name is taken. `index` gets
    // the selected macro, or -1 without a selection or for a blank name.
    std::string RenameMacro(int* index);
    // Deletes the selected macro; its index, or -1 when nothing is selected.
    int DeleteMacro();
    int GetSelectedMacroIndex() const;
    void SelectMacro(int index);
    // Fills the event list from the macro's event file (missing: empty).
    void LoadMacroEvents(int index);
    // Writes the selected macro's events; false when nothing was written.
    bool SaveMacro();

    // ---- the event list ----
    int EventCount() const;
    Json::Value EventAt(int row) const;
    std::string DelayTextAt(int row) const;
    int SelectedEvent() const;
    void SelectEvent(int row);
    void DeleteEvent();
    void ClearEvents();
    void MoveEventUp();
    void MoveEventDown();
    void MoveEventToTop();
    void MoveEventToEnd();

    // ---- recording ----
    void SetFixedDelay(std::string_view text);
    int FixedDelay() const { return fixedDelay_; }
    bool UsesFixedDelay() const;
    void SetPageLocked(bool locked);
    bool IsLocked() const { return locked_; }
    // The page side of a recording: the delay mode, the clock and the lock.
    void StartRecording(int delayMode);
    void StopRecording();
    // A key from the hook: `down` for a key or system-key press.
    void RecordKeyEvent(int place, bool down, uint16_t scanCode, bool extended);
    // A mouse button from the hook: its message, the mouse data (side button in the high
    // word) and the point in client coordinates.
    void RecordMouseEvent(int place, unsigned message, unsigned mouseData, UiPoint point);
    // A row of the mouse action table inserted after the selected event (at the top without
    // a selection); movements take their distance from the page's distance edits.
    void InsertMouseAction(int row);
    // The insert-menu items and the mouse buttons of the page, as names.
    static std::optional<std::vector<int>> MouseActionRowsOf(std::string_view menuItem);

private:
    CControlUI* Part(std::string_view name) const;
    CListUI* List(std::string_view name) const;
    void EnableMacroParts(bool enabled);
    std::unique_ptr<CListContainerElementUI> MakeRow(const Json::Value& event) const;
    void StoreRow(int row, const Json::Value& event);
    int InsertRow(int place, const Json::Value& event);
    void AddRecorded(int place, MacroEvent event);
    void ReplaceSelected(const MacroEvent& event);
    void AfterInsert(int row);
    int DistanceOf(int row) const;

    std::unique_ptr<MacroStore> store_;
    std::vector<std::string> names_;
    std::function<void(const std::string&)> inform_;
    std::function<uint64_t()> clock_;
    int delayMode_ = kRealDelay;
    int fixedDelay_ = kMinFixedDelay;
    uint64_t lastEventTime_ = 0;
    bool hasPrevious_ = false;
    std::optional<std::pair<uint16_t, bool>> lastKeyDown_;
    unsigned lastMouseMessage_ = 0;
    bool locked_ = false;
};

}  // namespace q208
