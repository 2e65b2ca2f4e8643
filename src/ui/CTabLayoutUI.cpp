#include "ui/CTabLayoutUI.h"

#include "ui/UiAttrTable.h"

namespace q208 {

void* CTabLayoutUI::GetInterface(std::string_view name) {
    return name == "TabLayout" ? this : CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::SelectItem(int index, bool triggerEvent) {
    if (index < 0 || index >= GetCount()) return false;
    if (index == curSel_) return true;
    const int old = curSel_;
    curSel_ = index;
    for (int i = 0; i < GetCount(); ++i) GetItemAt(i)->SetVisible(i == index);
    NeedUpdate();
    if (triggerEvent) SendNotify(DUI_MSGTYPE_TABSELECT, static_cast<WPARAM>(curSel_), old);
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control, bool triggerEvent) {
    return SelectItem(GetItemIndex(control), triggerEvent);
}

CControlUI* CTabLayoutUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
    CControlUI* raw = CContainerUI::AddAt(std::move(control), index);
    if (!raw) return nullptr;
    const int at = GetItemIndex(raw);
    if (curSel_ >= at && curSel_ >= 0 && at < GetCount() - 1) ++curSel_;
    if (pendingSel_ == at) {
        pendingSel_ = -1;
        SelectItem(at, false);
    } else if (curSel_ < 0 && raw->IsVisible()) {
        curSel_ = at;
    } else {
        raw->SetVisible(false);
    }
    return raw;
}

void CTabLayoutUI::AfterRemoval(int removedIndex) {
    if (removedIndex < 0) return;
    if (GetCount() == 0) {
        curSel_ = -1;
        return;
    }
    if (removedIndex < curSel_) {
        --curSel_;
    } else if (removedIndex == curSel_) {
        curSel_ = -1;
        SelectItem(std::min(removedIndex, GetCount() - 1), false);
    }
}

bool CTabLayoutUI::Remove(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (!CContainerUI::Remove(control)) return false;
    AfterRemoval(index);
    return true;
}

void CTabLayoutUI::RemoveAll() {
    curSel_ = -1;
    CContainerUI::RemoveAll();
}

std::unique_ptr<CControlUI> CTabLayoutUI::Detach(CControlUI* control) {
    const int index = GetItemIndex(control);
    auto owned = CContainerUI::Detach(control);
    if (owned) AfterRemoval(index);
    return owned;
}

void CTabLayoutUI::SetPos(const UiRect& rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    const UiRect area = rcItem_.Deflate(GetInset());
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = GetItemAt(i);
        if (c->IsFloat()) {
            if (c->IsVisible()) SetFloatPos(i);
            continue;
        }
        if (i != curSel_) continue;
        const UiRect pad = c->GetPadding();
        const UiSize sz = c->EstimateSize({area.Width(), area.Height()});
        int w = sz.cx > 0 ? sz.cx : area.Width() - pad.left - pad.right;
        int h = sz.cy > 0 ? sz.cy : area.Height() - pad.top - pad.bottom;
        w = std::max(c->GetMinWidth(), std::min(w, c->GetMaxWidth()));
        h = std::max(c->GetMinHeight(), std::min(h, c->GetMaxHeight()));
        const int x = area.left + pad.left;
        const int y = area.top + pad.top;
        c->SetPos({x, y, x + w, y + h});
    }
}

AttrResult CTabLayoutUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "selectedid") {
        auto index = attr::Int(value);
        if (!index || *index < 0) return AttrResult::Malformed;
        if (!SelectItem(*index, false)) pendingSel_ = *index;
        return AttrResult::Applied;
    }
    return CContainerUI::SetAttribute(name, value);
}

}  // namespace q208
