#include "ui/CListUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/UiAttrTable.h"

namespace q208 {

namespace {

IListItemUI* AsListItem(CControlUI* control) {
    return control ? static_cast<IListItemUI*>(control->GetInterface("ListItem")) : nullptr;
}

}  // namespace

CListUI::CListUI() { EnableScrollBar(true, false); }

void* CListUI::GetInterface(std::string_view name) {
    if (name == "List") return this;
    if (name == "IListOwner") return static_cast<IListOwnerUI*>(this);
    return CVerticalLayoutUI::GetInterface(name);
}

void CListUI::Reindex(int from) {
    for (int i = std::max(0, from); i < GetCount(); ++i) {
        if (auto* item = AsListItem(GetItemAt(i))) item->SetIndex(i);
    }
}

CControlUI* CListUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
    if (control && control->GetInterface("ListHeader")) {
        header_.reset(static_cast<CListHeaderUI*>(control.release()));
        if (manager_) {
            manager_->InitControls(header_.get(), this);
        } else {
            header_->SetManager(nullptr, this, false);
        }
        NeedUpdate();
        return header_.get();
    }
    CControlUI* raw = CVerticalLayoutUI::AddAt(std::move(control), index);
    if (!raw) return nullptr;
    const int at = GetItemIndex(raw);
    if (auto* item = AsListItem(raw)) item->SetOwner(this);
    if (at != GetCount() - 1) {
        if (curSel_ >= at) ++curSel_;
        Reindex(at);
    } else if (auto* item = AsListItem(raw)) {
        item->SetIndex(at);
    }
    return raw;
}

bool CListUI::Remove(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (index < 0) return false;
    CVerticalLayoutUI::Remove(control);
    if (index == curSel_) curSel_ = -1;
    else if (index < curSel_) --curSel_;
    Reindex(index);
    return true;
}

void CListUI::RemoveAll() {
    curSel_ = -1;
    CVerticalLayoutUI::RemoveAll();
}

std::unique_ptr<CControlUI> CListUI::Detach(CControlUI* control) {
    const int index = GetItemIndex(control);
    auto owned = CVerticalLayoutUI::Detach(control);
    if (!owned) return owned;
    if (auto* item = AsListItem(owned.get())) {
        item->SetOwner(nullptr);
        item->Select(false, false);
    }
    if (index == curSel_) curSel_ = -1;
    else if (index < curSel_) --curSel_;
    Reindex(index);
    return owned;
}

bool CListUI::SelectItem(int index, bool takeFocus, bool triggerEvent) {
    if (index == curSel_) return true;
    const int old = curSel_;
    if (index < 0 || index >= GetCount()) {
        if (auto* item = AsListItem(GetItemAt(old))) item->Select(false, false);
        curSel_ = -1;
        return false;
    }
    IListItemUI* item = AsListItem(GetItemAt(index));
    if (!item) return false;
    if (auto* previous = AsListItem(GetItemAt(old))) previous->Select(false, false);
    curSel_ = index;
    item->Select(true, false);
    CControlUI* control = GetItemAt(index);
    if (takeFocus) control->SetFocus();
    EnsureVisible(index);
    if (triggerEvent) SendNotify(DUI_MSGTYPE_ITEMSELECT, static_cast<WPARAM>(curSel_), old);
    return true;
}

void CListUI::EnsureVisible(int index) {
    CControlUI* control = GetItemAt(index);
    if (!control) return;
    if (manager_) manager_->DoLayout();
    ScrollIntoView(control->GetPos());
}

bool CListUI::MoveItem(int from, int to) {
    CControlUI* row = GetItemAt(from);
    if (!row || to < 0 || to >= GetCount()) return false;
    if (from == to) return true;
    SetItemIndex(row, to);
    if (curSel_ == from) curSel_ = to;
    else if (from < curSel_ && to >= curSel_) --curSel_;
    else if (from > curSel_ && to <= curSel_) ++curSel_;
    Reindex(std::min(from, to));
    return true;
}

UiRect CListUI::GetInset() const {
    UiRect inset = CVerticalLayoutUI::GetInset();
    if (header_ && header_->IsVisible()) inset.top += header_->GetFixedHeight();
    return inset;
}

std::vector<std::pair<int, int>> CListUI::GetColumns() const {
    std::vector<std::pair<int, int>> columns;
    if (!header_ || !header_->IsVisible()) return columns;
    for (int i = 0; i < header_->GetCount(); ++i) {
        const CControlUI* item = header_->GetItemAt(i);
        if (item->IsVisible()) columns.emplace_back(item->GetPos().left, item->GetPos().right);
    }
    return columns;
}

void CListUI::PlaceHeader() {
    const UiRect inset = CVerticalLayoutUI::GetInset();
    const UiRect client = ClientArea();
    header_->SetPos({rcItem_.left + inset.left, rcItem_.top + inset.top, client.right, rcItem_.top + inset.top + header_->GetFixedHeight()});
}

void CListUI::SetPos(const UiRect& rc, bool needInvalidate) {
    if (!header_ || !header_->IsVisible()) {
        CVerticalLayoutUI::SetPos(rc, needInvalidate);
        return;
    }
    // The header first, so that the rows find their columns; again when a scroll bar
    // appeared and made the rows narrower.
    CControlUI::SetPos(rc, needInvalidate);
    PlaceHeader();
    CVerticalLayoutUI::SetPos(rc, needInvalidate);
    if (header_->GetPos().right != ClientArea().right) {
        PlaceHeader();
        CVerticalLayoutUI::SetPos(rc, needInvalidate);
    }
}

void CListUI::DoPaint(IRenderTarget& target, const UiRect& rcPaint) {
    CVerticalLayoutUI::DoPaint(target, rcPaint);
    if (header_ && header_->IsVisible() && rcPaint.Intersects(header_->GetPos())) {
        target.PushClip(rcItem_);
        header_->DoPaint(target, rcPaint.Intersect(rcItem_));
        target.PopClip();
    }
}

void CListUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    if (header_) header_->SetManager(manager, this, false);
    CVerticalLayoutUI::SetManager(manager, parent, init);
}

CControlUI* CListUI::FindControl(const FindProc& proc, UINT flags) {
    if (header_ && (flags & UIFIND_HITTEST) && IsVisible()) {
        if (CControlUI* hit = header_->FindControl(proc, flags)) return hit;
    }
    if (CControlUI* found = CVerticalLayoutUI::FindControl(proc, flags)) return found;
    if (header_ && !(flags & UIFIND_HITTEST) && IsVisible()) return header_->FindControl(proc, flags);
    return nullptr;
}

int CListUI::PageRows() const {
    const CControlUI* first = GetItemAt(0);
    const int rowHeight = first ? std::max(1, first->GetHeight()) : 1;
    return std::max(1, ClientArea().Height() / rowHeight);
}

int CListUI::FindItemByUserData(std::string_view data) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (GetItemAt(i)->GetUserData() == data) return i;
    }
    return -1;
}

void CListUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_KEYDOWN) {
        switch (event.chKey) {
        case VK_UP:
            SelectItem(std::max(0, curSel_ - 1), true);
            return;
        case VK_DOWN:
            SelectItem(std::min(GetCount() - 1, curSel_ + 1), true);
            return;
        case VK_HOME:
            SelectItem(0, true);
            return;
        case VK_END:
            SelectItem(GetCount() - 1, true);
            return;
        case VK_PRIOR:
            SelectItem(std::max(0, curSel_ - PageRows()), true);
            return;
        case VK_NEXT:
            SelectItem(std::min(GetCount() - 1, curSel_ + PageRows()), true);
            return;
        default:
            break;
        }
    }
    CVerticalLayoutUI::DoEvent(event);
}

std::optional<AttrResult> CListUI::SetListInfoAttribute(TListInfoUI& info, std::string_view name, std::string_view value) {
    using I = TListInfoUI;
    static const AttrTable<I> table = {
        {"itemfont", [](I& i, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { i.font = n; }); }},
        {"itemheight", [](I& i, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { i.itemHeight = n; }); }},
        {"itemtextpadding", [](I& i, std::string_view v) { return SetParsed(attr::Rect(v), [&](UiRect r) { i.textPadding = r; }); }},
        {"itemtextcolor", [](I& i, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { i.textColor = c; }); }},
        {"itembkcolor", [](I& i, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { i.bkColor = c; }); }},
        {"itemselectedtextcolor", [](I& i, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { i.selectedTextColor = c; }); }},
        {"itemselectedbkcolor", [](I& i, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { i.selectedBkColor = c; }); }},
        {"itemhottextcolor", [](I& i, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { i.hotTextColor = c; }); }},
        {"itemhotbkcolor", [](I& i, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { i.hotBkColor = c; }); }},
        {"itemdisabledtextcolor", [](I& i, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { i.disabledTextColor = c; }); }},
        {"itemalign", [](I& i, std::string_view v) {
             const UINT base = i.textStyle & ~(DT_CENTER | DT_RIGHT);
             if (v == "left") i.textStyle = base;
             else if (v == "center") i.textStyle = base | DT_CENTER;
             else if (v == "right") i.textStyle = base | DT_RIGHT;
             else return AttrResult::Malformed;
             return AttrResult::Applied;
         }},
    };
    return ApplyAttr(table, info, name, value);
}

AttrResult CListUI::SetAttribute(std::string_view name, std::string_view value) {
    if (auto r = SetListInfoAttribute(info_, name, value)) {
        Invalidate();
        return *r;
    }
    return CVerticalLayoutUI::SetAttribute(name, value);
}

}  // namespace q208
