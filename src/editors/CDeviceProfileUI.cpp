#include "editors/CDeviceProfileUI.h"

#include <array>
#include <vector>

#include "devices/base/CVantorixUSBDevice.h"
#include "platform/Trace.h"
#include "profile/JsonFile.h"
#include "profile/ProfilePaths.h"
#include "ui/CComboUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/COptionUI.h"

namespace q208 {

namespace {

// The page's option tabs by number (SelectOptionTab).
constexpr std::array<const char*, 9> kOptionTabs{
    "deng_Op_tab",       "key_Op_tab",  "macro_Op_tab",      "system_Op_tab",   "cursor_Op_tab",
    "2907_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab", "otherset_Op_tab",
};

// Which tabs a device kind hides and shows; tabs not named keep their state.
struct KindTabs {
    int kind;
    std::vector<const char*> hidden;
    std::vector<const char*> shown;
};

const std::vector<KindTabs>& KindTabTable() {
    static const std::vector<KindTabs> table{
        {1, {"cursor_Op_tab", "otherset_Op_tab"}, {}},
        {2, {}, {"deng_Op_tab"}},
        {3, {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"}, {}},
        {4, {"cursor_Op_tab", "macro_Op_tab", "key_Op_tab"}, {}},
        {5, {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"}, {}},
        {7,
         {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"},
         {"2907_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"}},
    };
    return table;
}

CControlUI* FindByName(CControlUI* root, std::string_view name) {
    if (!root) return nullptr;
    return root->FindControl([name](CControlUI* c) { return c->GetName() == name ? c : nullptr; }, UIFIND_ALL);
}

int RenameCode(ProfileResult result) {
    switch (result) {
    case ProfileResult::Done: return 1;
    case ProfileResult::BlankName: return 2;
    default: return 0;
    }
}

}  // namespace

void* CDeviceProfileUI::GetInterface(std::string_view name) {
    if (name == kClassName) return this;
    if (name == kInterfaceName) return static_cast<IDeviceProfilePanel*>(this);
    return CHorizontalLayoutUI::GetInterface(name);
}

void CDeviceProfileUI::SetProfilePaths(const std::filesystem::path& profileFolder,
                                       const std::filesystem::path& defaultDocument) {
    folder_ = profileFolder;
    defaultDocument_ = defaultDocument;
}

CControlUI* CDeviceProfileUI::Part(std::string_view name) const {
    // Parts of this panel only: every device page has a panel with the same names.
    return FindByName(const_cast<CDeviceProfileUI*>(this), name);
}

CComboUI* CDeviceProfileUI::Combo() const {
    CControlUI* combo = Part(kComboName);
    return combo ? static_cast<CComboUI*>(combo->GetInterface("Combo")) : nullptr;
}

CControlUI* CDeviceProfileUI::Page() const {
    CControlUI* top = const_cast<CDeviceProfileUI*>(this);
    for (CControlUI* up = GetParent(); up; up = up->GetParent()) {
        top = up;
        if (up->GetInterface(CVantorixUSBDevice::kClassName)) break;
    }
    return top;
}

void CDeviceProfileUI::LoadProfileList() {
    if (folder_.empty()) {
        Trace("profile panel: no profile folder given\n");
        return;
    }
    list_ = std::make_unique<ProfileList>(folder_, defaultDocument_, kind_);
    if (!list_->Load()) Trace("profile panel: no profile list in %s\n", folder_.string().c_str());
    FillCombo();
    SelectProfile(list_->Selected(), false);
    ApplyOptionTabs();
}

void CDeviceProfileUI::FillCombo() {
    CComboUI* combo = Combo();
    if (!combo || !list_) return;
    combo->RemoveAll();
    for (int i = 0; i < list_->Count(); ++i) {
        auto item = std::make_unique<CListLabelElementUI>();
        const std::string name = list_->NameAt(i);
        item->SetFixedHeight(kItemHeight);
        item->SetText(name);
        item->SetUserData(name);
        // Long names are cut in the drop-down; the tip shows them whole.
        item->SetToolTip(name);
        combo->Add(std::move(item));
    }
}

void CDeviceProfileUI::ApplyOptionTabs() {
    CControlUI* page = Page();
    for (const KindTabs& row : KindTabTable()) {
        if (row.kind != kind_) continue;
        for (const char* name : row.hidden) {
            if (CControlUI* tab = FindByName(page, name)) tab->SetVisible(false);
        }
        for (const char* name : row.shown) {
            if (CControlUI* tab = FindByName(page, name)) tab->SetVisible(true);
        }
    }
}

void CDeviceProfileUI::SelectOptionTab(int tab) {
    CControlUI* page = Page();
    for (size_t i = 0; i < kOptionTabs.size(); ++i) {
        CControlUI* control = FindByName(page, kOptionTabs[i]);
        auto* option = control ? static_cast<COptionUI*>(control->GetInterface("Option")) : nullptr;
        if (option) option->Selected(static_cast<int>(i) + 1 == tab, false);
    }
}

ProfileResult CDeviceProfileUI::CreateProfile() {
    if (!list_) return ProfileResult::NoProfile;
    const int selected = GetSelectedIndex();
    const ProfileResult result = list_->Create();
    FillCombo();
    // A new profile is added, not switched to: the selection stays where the user is.
    if (CComboUI* combo = Combo()) combo->SelectItem(selected, false, false);
    return result;
}

ProfileResult CDeviceProfileUI::CopyProfile() {
    if (!list_) return ProfileResult::NoProfile;
    const int selected = GetSelectedIndex();
    const ProfileResult result = list_->Copy();
    FillCombo();
    if (CComboUI* combo = Combo()) combo->SelectItem(selected, false, false);
    return result;
}

int CDeviceProfileUI::RenameProfile(std::string_view name) {
    if (!list_) return 0;
    const ProfileResult result = list_->Rename(name);
    if (result != ProfileResult::Done) return RenameCode(result);
    const int selected = list_->Selected();
    if (CComboUI* combo = Combo(); combo && combo->GetItemAt(selected)) {
        CControlUI* item = combo->GetItemAt(selected);
        item->SetText(std::string(name));
        item->SetUserData(std::string(name));
        item->SetToolTip(std::string(name));
        combo->Invalidate();
    }
    SetNameEditText(std::string(name));
    return 1;
}

ProfileResult CDeviceProfileUI::DeleteProfile() {
    CComboUI* combo = Combo();
    if (!list_ || !combo || combo->GetCurSel() < 0 || combo->GetCount() <= 1) return ProfileResult::NoProfile;
    const ProfileResult result = list_->Delete();
    if (result != ProfileResult::Done) return result;
    FillCombo();
    SelectProfile(list_->Selected(), false);
    return result;
}

ProfileResult CDeviceProfileUI::ResetProfile() { return list_ ? list_->Reset() : ProfileResult::NoProfile; }

int CDeviceProfileUI::ImportProfile(const std::filesystem::path& file, const std::string& proposedName,
                                    ProfileResult* detail) {
    CComboUI* combo = Combo();
    if (detail) *detail = ProfileResult::NoProfile;
    if (!combo || !list_) return -1;
    if (combo->GetCount() >= ProfileList::kLimit) {
        if (detail) *detail = ProfileResult::LimitReached;
        return 0;
    }
    int added = -1;
    const ProfileResult result = list_->Import(file, proposedName, &added);
    if (detail) *detail = result;
    if (result != ProfileResult::Done) return result == ProfileResult::LimitReached ? 0 : -1;
    FillCombo();
    combo->SelectItem(added, false, true);
    return 1;
}

ProfileResult CDeviceProfileUI::ExportProfile(const std::filesystem::path& target) const {
    return list_ ? list_->Export(target) : ProfileResult::NoProfile;
}

void CDeviceProfileUI::SelectProfile(int index, bool notify) {
    CComboUI* combo = Combo();
    if (combo) combo->SelectItem(index, false, notify);
    if (combo && combo->GetItemAt(index)) SetNameEditText(combo->GetItemAt(index)->GetText());
    if (!list_ || list_->Select(index) != ProfileResult::Done) return;
    currentId_ = list_->IdAt(index);
}

int CDeviceProfileUI::GetSelectedIndex() const {
    CComboUI* combo = Combo();
    return combo ? combo->GetCurSel() : -1;
}

int CDeviceProfileUI::GetProfileCount() {
    countDocument_ = ReadJsonValue(folder_ / ProfileList::kFileName);
    const Json::Value& entries = countDocument_.isObject() ? countDocument_["profilelist"] : Json::Value::nullSingleton();
    return entries.isArray() ? static_cast<int>(entries.size()) : 0;
}

std::filesystem::path CDeviceProfileUI::GetProfilePath(int index) const {
    if (!countDocument_.isObject() || index < 0) return {};
    const Json::Value& entries = countDocument_["profilelist"];
    if (!entries.isArray() || index >= static_cast<int>(entries.size())) return {};
    const Json::Value& entry = entries[static_cast<Json::ArrayIndex>(index)];
    const std::string id = entry.isObject() && entry["profileUUID"].isString() ? entry["profileUUID"].asString() : "";
    if (!IsPlainIdentifier(id)) return {};
    return folder_ / (id + kProfileExtension);
}

std::string CDeviceProfileUI::GetNameEditText() const {
    CControlUI* edit = Part(kNameEditName);
    return edit ? edit->GetText() : std::string();
}

void CDeviceProfileUI::SetNameEditText(const std::string& text) {
    if (CControlUI* edit = Part(kNameEditName)) edit->SetText(text);
}

void CDeviceProfileUI::ShowProfileMenu(bool show) {
    if (CControlUI* menu = Part(kMenuName)) menu->SetVisible(show);
}

bool CDeviceProfileUI::IsProfileMenuShown() const {
    CControlUI* menu = Part(kMenuName);
    return menu && menu->IsVisible();
}

}  // namespace q208
