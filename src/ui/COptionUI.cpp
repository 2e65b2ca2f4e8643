#include "ui/COptionUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/UiAttrTable.h"

namespace q208 {

COptionUI::~COptionUI() = default;

void* COptionUI::GetInterface(std::string_view name) {
    return name == "Option" ? this : CButtonUI::GetInterface(name);
}

void COptionUI::SetGroup(std::string group) {
    if (group == group_) return;
    if (manager_ && !group_.empty()) manager_->RemoveOptionGroup(group_, this);
    group_ = std::move(group);
    if (manager_ && !group_.empty()) manager_->AddOptionGroup(group_, this);
    Selected(selected_, false);
}

void COptionUI::Selected(bool selected, bool triggerEvent) {
    const bool changed = selected != selected_;
    selected_ = selected;
    if (selected_ && manager_ && !group_.empty()) {
        if (const auto* members = manager_->GetOptionGroup(group_)) {
            const std::vector<CControlUI*> others = *members;  // handlers may change the group
            for (CControlUI* other : others) {
                if (other == this) continue;
                auto* option = static_cast<COptionUI*>(other->GetInterface("Option"));
                if (option && option->IsSelected()) option->Selected(false, triggerEvent);
            }
        }
    }
    if (!changed) return;
    Invalidate();
    if (triggerEvent) SendNotify(DUI_MSGTYPE_SELECTCHANGED);
    else NotifyAccess(AccessEvent::StateChanged);
}

bool COptionUI::Activate() {
    auto alive = Lifetime();
    if (!CButtonUI::Activate()) return false;
    if (alive.expired()) return true;  // the "click" handler removed this option
    Selected(group_.empty() ? !selected_ : true);
    return true;
}

void COptionUI::PaintBkColor(IRenderTarget& target) {
    if (selected_ && (selectedBkColor_ >> 24)) {
        target.FillRect(rcItem_, selectedBkColor_);
        return;
    }
    CButtonUI::PaintBkColor(target);
}

void COptionUI::PaintStatusImage(IRenderTarget& target) {
    if (selected_) {
        if (IsHot() && !selectedHotImage_.desc.file.empty()) {
            DrawImage(target, selectedHotImage_.desc);
            return;
        }
        if (!selectedImage_.desc.file.empty()) {
            DrawImage(target, selectedImage_.desc);
            return;
        }
    }
    CButtonUI::PaintStatusImage(target);
}

void COptionUI::PaintText(IRenderTarget& target) {
    if (selected_ && IsEnabled() && (selectedTextColor_ >> 24)) {
        DrawLabelText(target, GetText(), selectedTextColor_);
        return;
    }
    CButtonUI::PaintText(target);
}

AttrResult COptionUI::SetAttribute(std::string_view name, std::string_view value) {
    using O = COptionUI;
    static const AttrTable<O> table = {
        {"group", [](O& o, std::string_view v) { o.SetGroup(std::string(v)); return AttrResult::Applied; }},
        {"selected", [](O& o, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { o.Selected(b, false); }); }},
        {"selectedimage", [](O& o, std::string_view v) { return o.SetSelectedImage(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"selectedhotimage", [](O& o, std::string_view v) { return o.SetSelectedHotImage(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"selectedbkcolor", [](O& o, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { o.SetSelectedBkColor(c); }); }},
        {"selectedtextcolor", [](O& o, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { o.SetSelectedTextColor(c); }); }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CButtonUI::SetAttribute(name, value);
}

AccessRole COptionUI::GetAccessRole() const {
    return group_.empty() ? AccessRole::CheckBox : AccessRole::RadioButton;
}

std::vector<std::string_view> COptionUI::GetAccessActions() const { return {kAccessPress, kAccessToggle}; }

// Both act as a click: a check box flips, a radio button becomes the selected one.
bool COptionUI::DoAccessAction(std::string_view action) {
    if (action != kAccessPress && action != kAccessToggle) return false;
    return IsEnabled() && Activate();
}

}  // namespace q208
