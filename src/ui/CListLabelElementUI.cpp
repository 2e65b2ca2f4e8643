#include "ui/CListLabelElementUI.h"

#include "ui/CPaintManagerUI.h"

namespace q208 {

void* CListLabelElementUI::GetInterface(std::string_view name) {
    if (name == "ListItem") return static_cast<IListItemUI*>(this);
    if (name == "ListLabelElement") return this;
    return CLabelUI::GetInterface(name);
}

bool CListLabelElementUI::Select(bool select, bool triggerEvent) {
    if (!IsEnabled()) return false;
    if (select == selected_) return true;
    selected_ = select;
    Invalidate();
    NotifyAccess(AccessEvent::StateChanged);
    if (select && owner_ && owner_->GetCurSel() != index_) owner_->SelectItem(index_, false, triggerEvent);
    return true;
}

bool CListLabelElementUI::Activate() {
    if (!CLabelUI::Activate()) return false;
    SendNotify(DUI_MSGTYPE_ITEMACTIVATE);
    return true;
}

UiSize CListLabelElementUI::EstimateSize(UiSize available) {
    UiSize size = CLabelUI::EstimateSize(available);
    if (size.cy == 0) {
        const TListInfoUI* info = owner_ ? owner_->GetListInfo() : nullptr;
        if (info && info->itemHeight > 0) {
            size.cy = Scaled(info->itemHeight);
        } else {
            size.cy = CurrentFont().size + Scaled(8);
        }
    }
    return size;
}

void CListLabelElementUI::DoEvent(TEventUI& event) {
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
        if (IsEnabled()) {
            hot_ = true;
            Invalidate();
        }
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
    CLabelUI::DoEvent(event);
}

void CListLabelElementUI::PaintBkColor(IRenderTarget& target) {
    const TListInfoUI* info = owner_ ? owner_->GetListInfo() : nullptr;
    ARGB color = 0;
    if (info) color = selected_ ? info->selectedBkColor : hot_ ? info->hotBkColor : info->bkColor;
    if (color >> 24) {
        target.FillRect(rcItem_, color);
        return;
    }
    CLabelUI::PaintBkColor(target);
}

void CListLabelElementUI::PaintText(IRenderTarget& target) {
    const TListInfoUI* info = owner_ ? owner_->GetListInfo() : nullptr;
    if (!info) {
        CLabelUI::PaintText(target);
        return;
    }
    const std::string text = GetText();
    if (text.empty()) return;
    const ARGB color = !IsEnabled() ? info->disabledTextColor
                       : selected_  ? info->selectedTextColor
                       : hot_       ? info->hotTextColor
                                    : info->textColor;
    const FontDesc font = manager_ ? manager_->GetFont(GetFont() >= 0 ? GetFont() : info->font) : FontDesc{};
    target.DrawText(rcItem_.Deflate(Scaled(info->textPadding)), text, font, color, info->textStyle);
}

// Selects the item as a press on it does.
bool CListLabelElementUI::DoAccessAction(std::string_view action) {
    if (action != kAccessPress || !IsEnabled()) return false;
    if (owner_) return owner_->SelectItem(index_, false);
    return Select(true);
}

}  // namespace q208
