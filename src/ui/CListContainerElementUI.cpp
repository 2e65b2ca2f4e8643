#include "ui/CListContainerElementUI.h"

namespace q208 {

void* CListContainerElementUI::GetInterface(std::string_view name) {
    if (name == "ListItem") return static_cast<IListItemUI*>(this);
    if (name == "ListContainerElement") return this;
    return CHorizontalLayoutUI::GetInterface(name);
}

bool CListContainerElementUI::Select(bool select, bool triggerEvent) {
    if (!IsEnabled()) return false;
    if (select == selected_) return true;
    selected_ = select;
    Invalidate();
    NotifyAccess(AccessEvent::StateChanged);
    if (select && owner_ && owner_->GetCurSel() != index_) owner_->SelectItem(index_, false, triggerEvent);
    return true;
}

bool CListContainerElementUI::Activate() {
    if (!CHorizontalLayoutUI::Activate()) return false;
    SendNotify(DUI_MSGTYPE_ITEMACTIVATE);
    return true;
}

CControlUI* CListContainerElementUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
    CControlUI* cell = CHorizontalLayoutUI::AddAt(std::move(control), index);
    if (!cell) return nullptr;
    std::weak_ptr<int> alive = Lifetime();
    cell->AddNotifyListener([this, alive, cell](TNotifyUI& msg) {
        if (msg.sType != DUI_MSGTYPE_SETFOCUS || alive.expired() || cell->GetParent() != this) return;
        if (owner_ && owner_->GetCurSel() != index_) owner_->SelectItem(index_, false, true);
    });
    return cell;
}

void CListContainerElementUI::SetPos(const UiRect& rc, bool needInvalidate) {
    CHorizontalLayoutUI::SetPos(rc, needInvalidate);
    const auto columns = owner_ ? owner_->GetColumns() : std::vector<std::pair<int, int>>{};
    if (columns.empty()) return;
    size_t column = 0;
    for (int i = 0; i < GetCount() && column < columns.size(); ++i) {
        CControlUI* cell = GetItemAt(i);
        if (!cell->IsVisible() || cell->IsFloat()) continue;
        const UiRect pad = cell->GetPadding();
        const auto [left, right] = columns[column++];
        cell->SetPos({left + pad.left, rcItem_.top + pad.top, right - pad.right, rcItem_.bottom - pad.bottom}, needInvalidate);
    }
}

UiSize CListContainerElementUI::EstimateSize(UiSize available) {
    UiSize size = CHorizontalLayoutUI::EstimateSize(available);
    if (size.cy == 0 && owner_ && owner_->GetListInfo()->itemHeight > 0) size.cy = Scaled(owner_->GetListInfo()->itemHeight);
    return size;
}

void CListContainerElementUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_RBUTTONDOWN:
        if (IsEnabled()) {
            if (owner_) {
                owner_->SelectItem(index_, true);
            } else {
                Select(true);
            }
        }
        return;
    case UIEVENT_BUTTONUP:
        if (IsEnabled()) SendNotify(DUI_MSGTYPE_ITEMCLICK);
        return;
    case UIEVENT_DBLCLICK:
        if (IsEnabled()) Activate();
        return;
    case UIEVENT_MOUSEENTER:
        hot_ = IsEnabled();
        Invalidate();
        return;
    case UIEVENT_MOUSELEAVE:
        hot_ = false;
        Invalidate();
        return;
    case UIEVENT_MOUSEMOVE:
        return;
    case UIEVENT_SCROLLWHEEL:
    case UIEVENT_KEYDOWN:
        if (owner_) {
            owner_->DoItemEvent(event);
            return;
        }
        break;
    default:
        break;
    }
    CHorizontalLayoutUI::DoEvent(event);
}

void CListContainerElementUI::PaintBkColor(IRenderTarget& target) {
    const TListInfoUI* info = owner_ ? owner_->GetListInfo() : nullptr;
    const ARGB color = info ? (selected_ ? info->selectedBkColor : hot_ ? info->hotBkColor : info->bkColor) : 0;
    if (color >> 24) {
        target.FillRect(rcItem_, color);
        return;
    }
    CHorizontalLayoutUI::PaintBkColor(target);
}

// Selects the item as a press on it does.
bool CListContainerElementUI::DoAccessAction(std::string_view action) {
    if (action != kAccessPress || !IsEnabled()) return false;
    if (owner_) return owner_->SelectItem(index_, false);
    return Select(true);
}

}  // namespace q208
