#include "ui/CComboUI.h"

#include "ui/CListUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/UiAttrTable.h"

namespace q208 {

namespace {

IListItemUI* AsListItem(CControlUI* control) {
    return control ? static_cast<IListItemUI*>(control->GetInterface("ListItem")) : nullptr;
}

}  // namespace

CComboUI::CComboUI() {
    SetBorderSize(1);
    SetBorderColor(0xFF808080);
}

void* CComboUI::GetInterface(std::string_view name) {
    if (name == "Combo") return this;
    if (name == "IListOwner") return static_cast<IListOwnerUI*>(this);
    return CContainerUI::GetInterface(name);
}

void CComboUI::Reindex(int from) {
    for (int i = std::max(0, from); i < GetCount(); ++i) {
        if (auto* item = AsListItem(GetItemAt(i))) item->SetIndex(i);
    }
}

CControlUI* CComboUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
    CControlUI* raw = CContainerUI::AddAt(std::move(control), index);
    if (!raw) return nullptr;
    const int at = GetItemIndex(raw);
    if (auto* item = AsListItem(raw)) item->SetOwner(this);
    if (at != GetCount() - 1 && curSel_ >= at) ++curSel_;
    Reindex(at);
    if (dropped_) LayoutDropItems();
    return raw;
}

bool CComboUI::Remove(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (index < 0) return false;
    CContainerUI::Remove(control);
    if (index == curSel_) curSel_ = -1;
    else if (index < curSel_) --curSel_;
    hotItem_ = -1;
    Reindex(index);
    if (dropped_) LayoutDropItems();
    Invalidate();
    return true;
}

void CComboUI::RemoveAll() {
    curSel_ = -1;
    hotItem_ = -1;
    CContainerUI::RemoveAll();
    if (dropped_) ClosePopup();
    Invalidate();
}

std::unique_ptr<CControlUI> CComboUI::Detach(CControlUI* control) {
    const int index = GetItemIndex(control);
    auto owned = CContainerUI::Detach(control);
    if (!owned) return owned;
    if (auto* item = AsListItem(owned.get())) {
        item->SetOwner(nullptr);
        item->Select(false, false);
    }
    if (index == curSel_) curSel_ = -1;
    else if (index < curSel_) --curSel_;
    hotItem_ = -1;
    Reindex(index);
    return owned;
}

bool CComboUI::SelectItem(int index, bool /*takeFocus*/, bool triggerEvent) {
    if (index == curSel_) return true;
    const int old = curSel_;
    if (index < 0 || index >= GetCount()) {
        if (auto* item = AsListItem(GetItemAt(old))) item->Select(false, false);
        curSel_ = -1;
        Invalidate();
        return false;
    }
    IListItemUI* item = AsListItem(GetItemAt(index));
    if (!item || !GetItemAt(index)->IsEnabled()) return false;
    if (auto* previous = AsListItem(GetItemAt(old))) previous->Select(false, false);
    curSel_ = index;
    item->Select(true, false);
    Invalidate();
    if (triggerEvent) SendNotify(DUI_MSGTYPE_ITEMSELECT, static_cast<WPARAM>(curSel_), old);
    return true;
}

int CComboUI::FindItemByUserData(std::string_view data) const {
    for (int i = 0; i < GetCount(); ++i) {
        if (GetItemAt(i)->GetUserData() == data) return i;
    }
    return -1;
}

std::string CComboUI::GetText() const {
    if (CControlUI* item = GetItemAt(curSel_)) return item->GetText();
    return CContainerUI::GetText();
}

UiSize CComboUI::GetDropBoxSize() const { return {Scaled(dropBox_.cx), Scaled(dropBox_.cy)}; }
void CComboUI::SetDropBoxSize(UiSize size) { dropBox_ = size; }

int CComboUI::ContentHeight() const {
    int total = 0;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = GetItemAt(i);
        if (c->IsVisible()) total += c->EstimateSize({rcItem_.Width(), 0}).cy;
    }
    return total;
}

UiRect CComboUI::GetPopupRect() const {
    if (!dropped_) return {};
    const UiSize box = GetDropBoxSize();
    const int width = box.cx > 0 ? box.cx : rcItem_.Width();
    const int height = std::min(ContentHeight(), box.cy > 0 ? box.cy : ContentHeight());
    return {rcItem_.left, rcItem_.bottom, rcItem_.left + width, rcItem_.bottom + height};
}

void CComboUI::LayoutDropItems() {
    const UiRect drop = GetPopupRect();
    dropScroll_ = std::clamp(dropScroll_, 0, std::max(0, ContentHeight() - drop.Height()));
    int y = drop.top - dropScroll_;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = GetItemAt(i);
        if (!c->IsVisible()) continue;
        const int h = c->EstimateSize({drop.Width(), 0}).cy;
        c->SetPos({drop.left, y, drop.right, y + h}, false);
        y += h;
    }
}

void CComboUI::ShowDropDown() {
    if (dropped_ || !manager_ || GetCount() == 0) return;
    dropped_ = true;
    hotItem_ = curSel_;
    // Show the selected item when the list is longer than the box.
    dropScroll_ = 0;
    if (CControlUI* selected = GetItemAt(curSel_)) {
        const int itemH = selected->EstimateSize({rcItem_.Width(), 0}).cy;
        dropScroll_ = curSel_ * itemH;
    }
    LayoutDropItems();
    manager_->SetPopup(this);
    manager_->Invalidate(GetPopupRect());
    SendNotify(DUI_MSGTYPE_DROPDOWN);
}

void CComboUI::ClosePopup() {
    if (!dropped_) return;
    if (manager_) manager_->Invalidate(GetPopupRect());
    dropped_ = false;
    hotItem_ = -1;
    if (manager_ && manager_->GetPopup() == this) manager_->SetPopup(nullptr);
    Invalidate();
}

int CComboUI::ItemAtPoint(UiPoint pt) const {
    if (!dropped_ || !GetPopupRect().Contains(pt)) return -1;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = GetItemAt(i);
        if (c->IsVisible() && c->GetPos().Contains(pt)) return i;
    }
    return -1;
}

void CComboUI::SetPos(const UiRect& rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    if (dropped_) LayoutDropItems();
}

void CComboUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (!IsEnabled()) return;
        if (dropped_) {
            if (!GetPopupRect().Contains(event.ptMouse)) ClosePopup();
        } else if (rcItem_.Contains(event.ptMouse)) {
            ShowDropDown();
        }
        return;
    case UIEVENT_BUTTONUP:
        if (dropped_) {
            const int index = ItemAtPoint(event.ptMouse);
            if (index >= 0 && GetItemAt(index)->IsEnabled()) {
                auto alive = Lifetime();
                ClosePopup();
                SelectItem(index, false, true);
                if (alive.expired()) return;
            }
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if (dropped_) {
            const int index = ItemAtPoint(event.ptMouse);
            if (index != hotItem_) {
                hotItem_ = index;
                manager_->Invalidate(GetPopupRect());
            }
        }
        return;
    case UIEVENT_SCROLLWHEEL: {
        const bool up = static_cast<intptr_t>(event.wParam) > 0;
        if (dropped_) {
            dropScroll_ += up ? -Scaled(20) : Scaled(20);
            LayoutDropItems();
            manager_->Invalidate(GetPopupRect());
        } else if (IsEnabled()) {
            SelectItem(std::clamp(curSel_ + (up ? -1 : 1), 0, GetCount() - 1), false, true);
        }
        return;
    }
    case UIEVENT_KEYDOWN:
        if (!IsEnabled()) break;
        switch (event.chKey) {
        case VK_UP:
            SelectItem(std::max(0, curSel_ - 1), false, true);
            return;
        case VK_DOWN:
            SelectItem(std::min(GetCount() - 1, curSel_ + 1), false, true);
            return;
        case VK_RETURN:
        case VK_SPACE:
            if (dropped_) ClosePopup(); else ShowDropDown();
            return;
        case VK_ESCAPE:
            ClosePopup();
            return;
        default:
            break;
        }
        break;
    case UIEVENT_KILLFOCUS:
        ClosePopup();
        CContainerUI::DoEvent(event);
        return;
    case UIEVENT_MOUSEENTER:
        hot_ = true;
        Invalidate();
        return;
    case UIEVENT_MOUSELEAVE:
        hot_ = false;
        Invalidate();
        return;
    default:
        break;
    }
    CContainerUI::DoEvent(event);
}

void CComboUI::DoPaint(IRenderTarget& target, const UiRect& rcPaint) { CControlUI::DoPaint(target, rcPaint); }

void CComboUI::PaintStatusImage(IRenderTarget& target) {
    const ImageAttr* image = &normalImage_;
    if (!IsEnabled() && !disabledImage_.desc.file.empty()) image = &disabledImage_;
    else if (dropped_ && !pushedImage_.desc.file.empty()) image = &pushedImage_;
    else if (hot_ && !hotImage_.desc.file.empty()) image = &hotImage_;
    if (!image->desc.file.empty()) DrawImage(target, image->desc);
}

void CComboUI::PaintText(IRenderTarget& target) {
    const std::string text = GetText();
    if (text.empty()) return;
    const FontDesc f = manager_ ? manager_->GetFont(font) : FontDesc{};
    target.DrawText(rcItem_.Deflate(GetTextPadding()), text, f, IsEnabled() ? textColor : disabledTextColor,
                    DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

void CComboUI::PaintPopup(IRenderTarget& target) {
    if (!dropped_) return;
    const UiRect drop = GetPopupRect();
    target.FillRect(drop, dropBkColor);
    target.PushClip(drop);
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = GetItemAt(i);
        if (c->IsVisible() && c->GetPos().Intersects(drop)) c->DoPaint(target, drop);
    }
    target.PopClip();
    if (dropBorderColor >> 24) target.DrawBorder(drop, 1, 0, dropBorderColor);
}

CControlUI* CComboUI::FindControl(const FindProc& proc, UINT flags) {
    // The items are not inside the combo's rectangle; only name searches see them.
    if (flags & UIFIND_HITTEST) return CControlUI::FindControl(proc, flags);
    return CContainerUI::FindControl(proc, flags);
}

AttrResult CComboUI::SetAttribute(std::string_view name, std::string_view value) {
    if (auto r = CListUI::SetListInfoAttribute(info_, name, value)) return *r;
    using C = CComboUI;
    static const AttrTable<C> table = {
        {"dropboxsize", [](C& c, std::string_view v) { return SetParsed(attr::Size(v), [&](UiSize s) { c.SetDropBoxSize(s); }); }},
        {"textpadding", [](C& c, std::string_view v) { return SetParsed(attr::Rect(v), [&](UiRect r) { c.textPadding_ = r; c.Invalidate(); }); }},
        {"textcolor", [](C& c, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB a) { c.textColor = a; }); }},
        {"disabledtextcolor", [](C& c, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB a) { c.disabledTextColor = a; }); }},
        {"font", [](C& c, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { c.font = n; }); }},
        {"normalimage", [](C& c, std::string_view v) { return c.normalImage_.Set(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"hotimage", [](C& c, std::string_view v) { return c.hotImage_.Set(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"pushedimage", [](C& c, std::string_view v) { return c.pushedImage_.Set(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"disabledimage", [](C& c, std::string_view v) { return c.disabledImage_.Set(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"dropbkcolor", [](C& c, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB a) { c.dropBkColor = a; }); }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CContainerUI::SetAttribute(name, value);
}

}  // namespace q208
