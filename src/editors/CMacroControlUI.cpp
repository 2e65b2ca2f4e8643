#include "editors/CMacroControlUI.h"

#include <json/writer.h>

#include <algorithm>
#include <charconv>

#include "editors/KeyAssignTables.h"
#include "platform/TickCount.h"
#include "platform/Trace.h"
#include "profile/JsonFile.h"
#include "ui/CEditUI.h"
#include "ui/CLabelUI.h"
#include "ui/CListContainerElementUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/CListUI.h"
#include "ui/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/UiDefs.h"

namespace q208 {

namespace {

// The looks of the cells of an event row.
constexpr const char* kKeyboardStyle = "textcolor=\"#FFE6E8EB\" textpadding=\"3,0,0,0\" font=\"8\"";
constexpr const char* kMouseStyle = "textcolor=\"#FF8FC1F5\" textpadding=\"3,0,0,0\" font=\"8\"";
constexpr const char* kDownStyle = "textcolor=\"#FF7ED492\" font=\"8\"";
constexpr const char* kUpStyle = "textcolor=\"#FFE8B25C\" font=\"8\"";
constexpr const char* kTextStyle = "textcolor=\"#FFE6E8EB\" font=\"8\"";
constexpr const char* kDelayCellStyle =
    "textcolor=\"#FFE6E8EB\" font=\"8\" bkcolor=\"#FF444444\" height=\"25\" maxchar=\"6\" numberonly=\"true\"";
constexpr int kDelayCellChars = 6;

// Controls that take no input while a recording runs.
constexpr const char* kLockedParts[] = {"macro_name_tab", "macro_tab_macroaction_edit", "macro_tab_macrodelay_edit",
                                        CMacroControlUI::kActionList};
// Controls that need a macro to work on.
constexpr const char* kMacroParts[] = {"macro_action_layout", "mouse_move_layout", "macro_btn_export",
                                       "macro_btn_name_sub", "macro_btn_name_edit"};
constexpr const char* kDistanceEdits[] = {"mouse_x_left_edit", "mouse_x_right_edit", "mouse_y_up_edit",
                                          "mouse_y_down_edit"};

std::string LanguageText(std::string_view key) { return key.empty() ? std::string() : "%{" + std::string(key) + "}"; }

std::string JsonText(const Json::Value& value) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, value);
}

int ParseNumber(std::string_view text, int fallback) {
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) return MacroEvent::kMaxDelay;
    if (ec != std::errc{} || end != text.data() + text.size()) return fallback;
    return static_cast<int>(std::clamp<long long>(value, 0, MacroEvent::kMaxDelay));
}

// The name key of a keyboard event: a modifier by its bit among the first eight keys, any
// other key by its usage among the plain keys.
std::string_view KeyNameOf(const MacroEvent& event) {
    const auto keys = keytables::KeyTable();
    if (event.type == MacroEvent::kTypeModifier) {
        for (int i = 0; i < keytables::kModifierCount; ++i) {
            if (keys[i].first == event.button) return keys[i].nameKey;
        }
        return {};
    }
    if (event.button < 0 || event.button > 0xFF) return {};
    const auto position = keytables::FindPlainKey(static_cast<uint8_t>(event.button));
    return position ? keys[*position].nameKey : std::string_view();
}

struct MenuMouseItem {
    std::string_view name;
    std::vector<int> rows;
};

const std::vector<MenuMouseItem>& MenuMouseItems() {
    static const std::vector<MenuMouseItem> items{
        {"left_down", {0}},      {"left_up", {1}},       {"left_click", {0, 1}},
        {"right_down", {2}},     {"right_up", {3}},      {"right_click", {2, 3}},
        {"middle_down", {4}},    {"middle_up", {5}},     {"middle_click", {4, 5}},
        {"forward_down", {6}},   {"forward_up", {7}},    {"forward_click", {6, 7}},
        {"back_down", {8}},      {"back_up", {9}},       {"back_click", {8, 9}},
        {"macro_inset_left", {mouseactions::kMoveLeft}}, {"macro_inset_right", {mouseactions::kMoveRight}},
        {"macro_inset_up", {mouseactions::kMoveUp}},     {"macro_inset_down", {mouseactions::kMoveDown}},
    };
    return items;
}

}  // namespace

CMacroControlUI::CMacroControlUI() : clock_([] { return TickCount64(); }) {}

void* CMacroControlUI::GetInterface(std::string_view name) {
    if (name == kClassName) return this;
    return CVerticalLayoutUI::GetInterface(name);
}

void CMacroControlUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_TIMER && event.wParam == kScrollTimer) {
        if (GetManager()) GetManager()->KillTimer(this, kScrollTimer);
        if (CListUI* list = List(kActionList); list && list->GetCurSel() >= 0) list->EnsureVisible(list->GetCurSel());
        return;
    }
    CVerticalLayoutUI::DoEvent(event);
}

CControlUI* CMacroControlUI::Part(std::string_view name) const {
    return const_cast<CMacroControlUI*>(this)->FindControl(
        [name](CControlUI* c) { return c->GetName() == name ? c : nullptr; }, UIFIND_ALL);
}

CListUI* CMacroControlUI::List(std::string_view name) const {
    CControlUI* c = Part(name);
    return c ? static_cast<CListUI*>(c->GetInterface("List")) : nullptr;
}

// ---- the macro list ----

void CMacroControlUI::SetFolder(const std::filesystem::path& folder) {
    if (!store_ || store_->Folder() != folder) store_ = std::make_unique<MacroStore>(folder);
    LoadMacroList();
}

void CMacroControlUI::LoadMacroList() {
    CListUI* list = List(kNameList);
    names_.clear();
    if (list) list->RemoveAll();
    if (CListUI* events = List(kActionList)) events->RemoveAll();
    if (!store_) return;
    for (const MacroStore::Entry& entry : store_->List()) {
        names_.push_back(entry.name);
        if (!list) continue;
        auto row = std::make_unique<CListLabelElementUI>();
        row->SetText(entry.name);
        row->SetUserData(entry.guid);
        row->SetFixedHeight(kRowHeight);
        list->Add(std::move(row));
    }
    EnableMacroParts(!names_.empty());
}

void CMacroControlUI::EnableMacroParts(bool enabled) {
    for (const char* name : kMacroParts) {
        if (CControlUI* part = Part(name)) part->SetEnabled(enabled);
    }
}

int CMacroControlUI::GetSelectedMacroIndex() const {
    const CListUI* list = List(kNameList);
    if (!list || list->GetCount() == 0) return -1;
    return list->GetCurSel();
}

void CMacroControlUI::SelectMacro(int index) {
    CListUI* list = List(kNameList);
    if (!list || index < 0 || index >= list->GetCount()) return;
    list->SelectItem(index, false, false);
    LoadMacroEvents(index);
}

std::string CMacroControlUI::CreateMacro() {
    if (!store_) return {};
    int added = -1;
    std::string name;
    const MacroResult result = store_->Create(&added, &name);
    if (result == MacroResult::AtLimit) {
        if (inform_) inform_("message_text_30");
        return {};
    }
    if (result != MacroResult::Done) {
        if (inform_) inform_("macro_write_failed");
        return {};
    }
    LoadMacroList();
    SelectMacro(added);
    return name;
}

std::string CMacroControlUI::ImportMacro(const std::filesystem::path& file) {
    if (!store_ || file.empty()) return {};
    int added = -1;
    std::string name;
    const MacroResult result = store_->Import(file, &added, &name);
    if (result != MacroResult::Done) {
        if (inform_) {
            inform_(result == MacroResult::AtLimit   ? "message_text_30"
                    : result == MacroResult::BadFile ? "macro_import_bad"
                                                     : "macro_write_failed");
        }
        return {};
    }
    LoadMacroList();
    SelectMacro(added);
    return name;
}

bool CMacroControlUI::ExportMacro(const std::filesystem::path& target) {
    const int index = GetSelectedMacroIndex();
    if (!store_ || index < 0 || target.empty()) return false;
    if (store_->Export(index, target) == MacroResult::Done) return true;
    if (inform_) inform_("macro_write_failed");
    return false;
}

std::string CMacroControlUI::RenameMacro(int* index) {
    const int selected = GetSelectedMacroIndex();
    *index = selected;
    if (!store_ || selected < 0) return {};
    CControlUI* edit = Part(kNameEdit);
    std::string newName;
    const MacroResult result = store_->Rename(selected, edit ? edit->GetText() : std::string(), &newName);
    if (result == MacroResult::NameEmpty) {
        *index = -1;
        return "IsEmpty";
    }
    if (result == MacroResult::WriteFailed && inform_) inform_("macro_write_failed");
    if (result != MacroResult::Done) return {};
    names_[selected] = newName;
    if (CListUI* list = List(kNameList)) list->GetItemAt(selected)->SetText(newName);
    if (edit) edit->SetText("");
    return newName;
}

int CMacroControlUI::DeleteMacro() {
    const int index = GetSelectedMacroIndex();
    if (!store_ || index < 0) return -1;
    if (store_->Delete(index) != MacroResult::Done) {
        if (inform_) inform_("macro_write_failed");
        return -1;
    }
    LoadMacroList();
    SelectMacro(0);
    return index;
}

void CMacroControlUI::LoadMacroEvents(int index) {
    CListUI* list = List(kActionList);
    if (!list) return;
    list->RemoveAll();
    if (!store_) return;
    for (const Json::Value& event : store_->LoadEvents(index)) list->Add(MakeRow(event));
}

bool CMacroControlUI::SaveMacro() {
    const int index = GetSelectedMacroIndex();
    CListUI* list = List(kActionList);
    if (!store_ || index < 0 || !list) return false;
    if (store_->EventFile(index).empty()) return false;
    if (list->GetCount() > MacroStore::kMaxEvents) {
        while (list->GetCount() > MacroStore::kMaxEvents) list->RemoveAt(MacroStore::kMaxEvents);
        if (inform_) inform_("message_text_17");
    }
    std::vector<Json::Value> events;
    for (int row = 0; row < list->GetCount(); ++row) {
        CControlUI* item = list->GetItemAt(row);
        const Json::Value event = ParseJsonText(item->GetUserData());
        if (!event.isObject()) break;
        const int delay = MacroStore::SavedDelay(DelayTextAt(row));
        Json::Value saved = event;
        saved["Delay"] = std::to_string(delay);
        StoreRow(row, saved);
        events.push_back(saved);
    }
    if (store_->SaveEvents(index, std::move(events)) != MacroResult::Done) {
        if (inform_) inform_("macro_write_failed");
        return false;
    }
    return true;
}

// ---- rows ----

std::unique_ptr<CListContainerElementUI> CMacroControlUI::MakeRow(const Json::Value& eventJson) const {
    const MacroEvent event = MacroEvent::FromJson(eventJson);
    const bool keyboard = MacroEvent::IsKeyboardType(event.type);
    auto row = std::make_unique<CListContainerElementUI>();
    row->SetName(kEventRow);
    row->SetFixedHeight(kRowHeight);
    row->SetUserData(JsonText(eventJson));

    auto name = std::make_unique<CLabelUI>();
    name->ApplyAttributeList(keyboard ? kKeyboardStyle : kMouseStyle);
    name->SetText(LanguageText(keyboard ? KeyNameOf(event) : mouseactions::NameKeyOf(event)));
    auto action = std::make_unique<CLabelUI>();
    if (MacroEvent::IsMoveType(event.type)) {
        action->ApplyAttributeList(kTextStyle);
        action->SetText(std::to_string(event.button));
    } else {
        action->ApplyAttributeList(event.down ? kDownStyle : kUpStyle);
        action->SetText(LanguageText(event.down ? "macro_action_down" : "macro_action_up"));
    }
    auto delay = std::make_unique<CEditUI>();
    delay->SetName(kDelayCell);
    delay->ApplyAttributeList(kDelayCellStyle);
    delay->SetMaxChar(kDelayCellChars);
    delay->SetNumberOnly(true);
    delay->SetRange(0, MacroEvent::kMaxDelay);
    delay->SetText(std::to_string(event.delay));
    row->Add(std::move(name));
    row->Add(std::move(action));
    row->Add(std::move(delay));
    return row;
}

void CMacroControlUI::StoreRow(int row, const Json::Value& event) {
    CListUI* list = List(kActionList);
    if (!list || row < 0 || row >= list->GetCount()) return;
    CControlUI* item = list->GetItemAt(row);
    item->SetUserData(JsonText(event));
    if (auto* container = static_cast<CContainerUI*>(item->GetInterface("Container")); container && container->GetCount() > 2)
        container->GetItemAt(2)->SetText(std::to_string(MacroEvent::DelayOf(event["Delay"])));
}

int CMacroControlUI::EventCount() const {
    const CListUI* list = List(kActionList);
    return list ? list->GetCount() : 0;
}

Json::Value CMacroControlUI::EventAt(int row) const {
    const CListUI* list = List(kActionList);
    if (!list || row < 0 || row >= list->GetCount()) return {};
    return ParseJsonText(list->GetItemAt(row)->GetUserData());
}

std::string CMacroControlUI::DelayTextAt(int row) const {
    const CListUI* list = List(kActionList);
    if (!list || row < 0 || row >= list->GetCount()) return {};
    auto* container = static_cast<CContainerUI*>(list->GetItemAt(row)->GetInterface("Container"));
    return container && container->GetCount() > 2 ? container->GetItemAt(2)->GetText() : std::string();
}

int CMacroControlUI::SelectedEvent() const {
    const CListUI* list = List(kActionList);
    return list ? list->GetCurSel() : -1;
}

void CMacroControlUI::SelectEvent(int row) {
    if (CListUI* list = List(kActionList)) list->SelectItem(row, false, false);
}

void CMacroControlUI::DeleteEvent() {
    CListUI* list = List(kActionList);
    if (!list || list->GetCurSel() < 0) return;
    list->RemoveAt(list->GetCurSel());
}

void CMacroControlUI::ClearEvents() {
    CListUI* list = List(kActionList);
    if (!list) return;
    list->RemoveAll();
    list->SelectItem(-1, false, false);
}

void CMacroControlUI::MoveEventUp() {
    CListUI* list = List(kActionList);
    if (!list || list->GetCurSel() <= 0) return;
    list->MoveItem(list->GetCurSel(), list->GetCurSel() - 1);
}

void CMacroControlUI::MoveEventDown() {
    CListUI* list = List(kActionList);
    if (!list || list->GetCurSel() < 0 || list->GetCurSel() >= list->GetCount() - 1) return;
    list->MoveItem(list->GetCurSel(), list->GetCurSel() + 1);
}

void CMacroControlUI::MoveEventToTop() {
    CListUI* list = List(kActionList);
    if (!list || list->GetCurSel() <= 0) return;
    list->MoveItem(list->GetCurSel(), 0);
}

void CMacroControlUI::MoveEventToEnd() {
    CListUI* list = List(kActionList);
    if (!list || list->GetCurSel() < 0 || list->GetCurSel() >= list->GetCount() - 1) return;
    list->MoveItem(list->GetCurSel(), list->GetCount() - 1);
}

// ---- recording ----

bool CMacroControlUI::UsesFixedDelay() const {
    const CControlUI* check = Part(kFixedDelayCheck);
    auto* option = check ? static_cast<COptionUI*>(const_cast<CControlUI*>(check)->GetInterface("Option")) : nullptr;
    return option && option->IsSelected();
}

void CMacroControlUI::SetFixedDelay(std::string_view text) {
    int value = ParseNumber(text, 0);
    if (value < kMinFixedDelay) {
        value = kMinFixedDelay;
        if (inform_) inform_("message_text_31");
    }
    fixedDelay_ = value;
    if (CControlUI* edit = Part(kFixedDelayEdit)) edit->SetText(std::to_string(value));
}

void CMacroControlUI::SetPageLocked(bool locked) {
    locked_ = locked;
    for (const char* name : kLockedParts) {
        if (CControlUI* part = Part(name)) {
            part->SetEnabled(!locked);
            part->SetMouseEnabled(!locked);
        }
    }
    if (CControlUI* start = Part(kStartButton)) start->SetVisible(!locked);
    if (CControlUI* stop = Part(kStopButton)) stop->SetVisible(locked);
}

void CMacroControlUI::StartRecording(int delayMode) {
    delayMode_ = delayMode;
    lastEventTime_ = clock_();
    if (delayMode == kFixedDelay) {
        const CControlUI* edit = Part(kFixedDelayEdit);
        SetFixedDelay(edit ? edit->GetText() : std::string());
    }
    lastMouseMessage_ = 0;
    SetPageLocked(true);
}

void CMacroControlUI::StopRecording() {
    SetPageLocked(false);
    lastKeyDown_.reset();
}

void CMacroControlUI::RecordKeyEvent(int place, bool down, uint16_t scanCode, bool extended) {
    const std::pair<uint16_t, bool> key{scanCode, extended};
    if (down) {
        if (lastKeyDown_ == key) return;  // the keyboard's auto-repeat
        lastKeyDown_ = key;
    } else if (lastKeyDown_ == key) {
        lastKeyDown_.reset();
    }
    if (scanCode > 0xFF) return;
    const auto position = keytables::FindCapturedKey({static_cast<uint8_t>(scanCode), extended});
    if (!position) return;
    const KeyFunction& entry = keytables::KeyTable()[*position];
    MacroEvent event;
    event.down = down;
    if (entry.first != 0) {
        event.type = MacroEvent::kTypeModifier;
        event.button = entry.first;
    } else {
        event.type = MacroEvent::kTypeKey;
        event.button = entry.second;
    }
    AddRecorded(place, event);
}

void CMacroControlUI::RecordMouseEvent(int place, unsigned message, unsigned mouseData, UiPoint point) {
    const auto row = mouseactions::RowOfMessage(message, mouseData);
    if (!row) return;
    const unsigned identity = message | (mouseData & 0xFFFF0000u);
    if (identity == lastMouseMessage_) return;  // a held button records once
    if (message == mouseactions::kLeftDown || message == mouseactions::kLeftUp) {
        // The click that stops the recording is not part of the macro.
        const CControlUI* stop = Part(kStopButton);
        if (stop && stop->IsVisible() && stop->GetPos().Contains(point)) return;
    }
    lastMouseMessage_ = identity;
    AddRecorded(place, mouseactions::Table()[*row].Event());
}

void CMacroControlUI::AddRecorded(int place, MacroEvent event) {
    if (place == kReplace) {
        ReplaceSelected(event);
        return;
    }
    CListUI* list = List(kActionList);
    if (!list || list->GetCount() >= MacroStore::kMaxEvents) return;
    // The time since the previous event is that event's delay.
    int delay = 0;
    if (delayMode_ == kRealDelay) {
        const uint64_t now = clock_();
        delay = static_cast<int>(std::min<uint64_t>(now - lastEventTime_, MacroEvent::kMaxDelay));
        lastEventTime_ = now;
    } else if (delayMode_ == kFixedDelay) {
        delay = fixedDelay_;
    }
    const bool first = list->GetCount() == 0;
    Json::Value json = event.ToJson();
    if (first) json["Delay"] = 0;
    else json["Delay"] = delayMode_ == kFixedDelay ? std::to_string(fixedDelay_) : "0";
    const int row = InsertRow(place, json);
    if (!first && hasPrevious_ && row > 0) {
        Json::Value previous = EventAt(row - 1);
        previous["Delay"] = std::to_string(delay);
        StoreRow(row - 1, previous);
    }
    hasPrevious_ = true;
    AfterInsert(row);
}

int CMacroControlUI::InsertRow(int place, const Json::Value& event) {
    CListUI* list = List(kActionList);
    const int selected = list->GetCurSel();
    int at = list->GetCount();
    if (place == kBefore && selected >= 0) at = selected;
    if (place == kAfter && selected >= 0) at = selected + 1;
    list->AddAt(MakeRow(event), at);
    return at;
}

void CMacroControlUI::AfterInsert(int row) {
    SelectEvent(row);
    if (GetManager()) GetManager()->SetTimer(this, kScrollTimer, kScrollDelayMs);
}

void CMacroControlUI::ReplaceSelected(const MacroEvent& event) {
    const int row = SelectedEvent();
    if (row < 0) return;
    Json::Value json = EventAt(row);
    json["Type"] = event.type;
    json["Button"] = event.button;
    CListUI* list = List(kActionList);
    const std::string delay = DelayTextAt(row);
    list->RemoveAt(row);
    list->AddAt(MakeRow(json), row);
    if (auto* container = static_cast<CContainerUI*>(list->GetItemAt(row)->GetInterface("Container")))
        container->GetItemAt(2)->SetText(delay);
    SelectEvent(row);
}

int CMacroControlUI::DistanceOf(int row) const {
    const int edit = row - mouseactions::kMoveLeft;
    if (edit < 0 || edit >= 4) return 0;
    const CControlUI* control = Part(kDistanceEdits[edit]);
    return control ? ParseNumber(control->GetText(), 0) : 0;
}

void CMacroControlUI::InsertMouseAction(int row) {
    if (row < 0 || row >= static_cast<int>(mouseactions::Table().size())) return;
    CListUI* list = List(kActionList);
    if (!list || list->GetCount() >= MacroStore::kMaxEvents) return;
    Json::Value json = mouseactions::Table()[row].Event(DistanceOf(row)).ToJson();
    json["Delay"] = list->GetCount() == 0 ? Json::Value(0) : Json::Value("0");
    const int selected = list->GetCurSel();
    const int at = selected >= 0 ? selected + 1 : 0;
    list->AddAt(MakeRow(json), at);
    AfterInsert(at);
}

std::optional<std::vector<int>> CMacroControlUI::MouseActionRowsOf(std::string_view menuItem) {
    for (const MenuMouseItem& item : MenuMouseItems()) {
        if (item.name == menuItem) return item.rows;
    }
    return std::nullopt;
}

}  // namespace q208
