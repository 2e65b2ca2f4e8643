#include "update/CUpdateInfoListItemUI.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "ui/CLabelUI.h"
#include "ui/COptionUI.h"
#include "ui/CVerticalLayoutUI.h"

namespace q208 {

namespace {

struct StatusRule {
    int status;
    const char* textKey;
    bool progress;
    bool grey;  // the target is current or has nothing to offer
};
constexpr StatusRule kStatusRules[] = {
    {kUpdateLess, "LessUpdateText", false, true},
    {kUpdateNeeded, "NeedUpdateText", false, false},
    {kUpdateNeededToo, "NeedUpdateText", false, false},
    {kUpdateDownloadWait, "DownloadWaitText", false, false},
    {kUpdateDownloading, "DownloadIngText", true, false},
    {kUpdateDownloaded, "DownloadOkText", false, false},
    {kUpdateInstalling, "UpdateIngText", true, false},
    {kUpdateCurrent, "UpdateOkText", false, true},
    {kUpdateFailed, "UpdateFailText", false, false},
};

const StatusRule* RuleOf(int status) {
    for (const StatusRule& rule : kStatusRules) {
        if (rule.status == status) return &rule;
    }
    return nullptr;
}

// The row's cells: a tick, the name over its note, two versions, status, percentage.
constexpr const char* kTickAttributes =
    "name=\"check_name_select\" width=\"16\" height=\"16\" padding=\"4,14,10,0\" bordersize=\"1\" "
    "bordercolor=\"#FF5A6370\" borderround=\"3,3\" selectedbkcolor=\"#FF0099FF\" hotbkcolor=\"#FF2E3440\"";
constexpr const char* kNameAttributes = "name=\"update_item_name\" font=\"4\" endellipsis=\"true\"";
constexpr const char* kNoteAttributes =
    "name=\"update_item_note\" height=\"18\" font=\"8\" textcolor=\"#FF8A929C\" visible=\"false\"";
constexpr const char* kCurrentAttributes = "name=\"update_item_current\" width=\"86\"";
constexpr const char* kOfferedAttributes = "name=\"update_item_new\" width=\"86\"";
constexpr const char* kStatusAttributes = "name=\"update_item_status\" width=\"120\"";
constexpr const char* kProgressAttributes =
    "name=\"update_progress_value\" width=\"46\" textcolor=\"#FF0099FF\"";

template <typename T>
T* AddCell(CContainerUI& parent, const char* attributes) {
    auto cell = std::make_unique<T>();
    T* raw = cell.get();
    raw->ApplyAttributeList(attributes);
    parent.Add(std::move(cell));
    return raw;
}

}  // namespace

CUpdateInfoListItemUI::CUpdateInfoListItemUI() {
    SetFixedHeight(48);
    tick_ = AddCell<COptionUI>(*this, kTickAttributes);
    auto column = std::make_unique<CVerticalLayoutUI>();
    column->ApplyAttributeList("name=\"update_item_names\" inset=\"0,3,0,3\"");
    name_ = AddCell<CLabelUI>(*column, kNameAttributes);
    note_ = AddCell<CLabelUI>(*column, kNoteAttributes);
    Add(std::move(column));
    current_ = AddCell<CLabelUI>(*this, kCurrentAttributes);
    offered_ = AddCell<CLabelUI>(*this, kOfferedAttributes);
    status_ = AddCell<CLabelUI>(*this, kStatusAttributes);
    progressText_ = AddCell<CLabelUI>(*this, kProgressAttributes);
    ShowStatus();
}

void* CUpdateInfoListItemUI::GetInterface(std::string_view name) {
    if (name == kClassName) return this;
    return CListContainerElementUI::GetInterface(name);
}

const char* CUpdateInfoListItemUI::StatusTextKey(int status) {
    const StatusRule* rule = RuleOf(status);
    return rule ? rule->textKey : "";
}

bool CUpdateInfoListItemUI::StatusShowsProgress(int status) {
    const StatusRule* rule = RuleOf(status);
    return rule && rule->progress;
}

void CUpdateInfoListItemUI::SetInfo(const UpdateInfo& info) {
    const std::string offered = info.status == kUpdateCurrent ? info_.newVersion : info.newVersion;
    info_ = info;
    info_.newVersion = offered;
    name_->SetText(info_.name);
    ShowStatus();
}

void CUpdateInfoListItemUI::SetStatus(int status) {
    info_.status = status;
    ShowStatus();
}

void CUpdateInfoListItemUI::SetVersions(const std::string& current, const std::string& offered) {
    info_.currentVersion = current;
    info_.newVersion = offered;
    ShowStatus();
}

void CUpdateInfoListItemUI::SetProgress(int percent) {
    progress_ = std::clamp(percent, 0, 100);
    ShowStatus();
}

bool CUpdateInfoListItemUI::IsTicked() const { return tick_->IsSelected(); }

void CUpdateInfoListItemUI::SetTicked(bool ticked) { tick_->Selected(ticked, false); }

void CUpdateInfoListItemUI::SetNote(const std::string& note) {
    note_->SetText(note);
    note_->SetVisible(!note.empty());
}

std::string CUpdateInfoListItemUI::Note() const { return note_->IsVisible() ? note_->GetText() : std::string(); }

void CUpdateInfoListItemUI::NameCells(int index) {
    const std::string suffix = "_" + std::to_string(index);
    for (CControlUI* cell : {static_cast<CControlUI*>(name_), static_cast<CControlUI*>(note_),
                             static_cast<CControlUI*>(current_), static_cast<CControlUI*>(offered_),
                             static_cast<CControlUI*>(status_)}) {
        std::string name = cell->GetName();
        if (const size_t mark = name.rfind('_'); mark != std::string::npos && std::isdigit(static_cast<unsigned char>(name[mark + 1]))) {
            name.resize(mark);
        }
        cell->SetName(name + suffix);
    }
}

std::string CUpdateInfoListItemUI::StatusText() const { return status_->GetText(); }

std::string CUpdateInfoListItemUI::NewVersionText() const { return offered_->GetText(); }

void CUpdateInfoListItemUI::ShowStatus() {
    const StatusRule* rule = RuleOf(info_.status);
    const bool grey = !rule || rule->grey;
    const bool current = info_.status == kUpdateCurrent;
    name_->SetTextColor(current ? kCurrentNameColour : grey ? kGreyColour : kNameColour);
    for (CLabelUI* cell : {current_, offered_, status_}) cell->SetTextColor(grey ? kGreyColour : kVersionColour);
    current_->SetText(info_.currentVersion);
    offered_->SetText(info_.newVersion);
    status_->SetText(rule ? std::string("%{") + rule->textKey + "}" : std::string());
    const bool progress = rule && rule->progress;
    // The cell keeps its place so that the columns stay under their headings.
    progressText_->SetText(progress ? std::to_string(progress_) + "%" : std::string());
    tick_->SetEnabled(!grey);
    Invalidate();
}

}  // namespace q208
