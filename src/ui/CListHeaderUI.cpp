#include "ui/CListHeaderUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/UiAttrTable.h"

namespace q208 {

CListHeaderItemUI::CListHeaderItemUI() { SetTextPadding({6, 0, 6, 0}); SetTextStyle(DT_SINGLELINE | DT_VCENTER | DT_LEFT); }

void* CListHeaderItemUI::GetInterface(std::string_view name) {
    return name == "ListHeaderItem" ? this : CButtonUI::GetInterface(name);
}

bool CListHeaderItemUI::Activate() {
    if (!IsVisible() || !IsEnabled()) return false;
    auto* header = dynamic_cast<CContainerUI*>(GetParent());
    if (!header || !manager_) return false;
    manager_->SendNotify(header, DUI_MSGTYPE_HEADERCLICK, static_cast<WPARAM>(header->GetItemIndex(this)));
    return true;
}

void CListHeaderItemUI::PaintBorder(IRenderTarget& target) {
    CButtonUI::PaintBorder(target);
    if (sepColor_ >> 24) target.FillRect({rcItem_.right - Scaled(1), rcItem_.top + Scaled(4), rcItem_.right, rcItem_.bottom - Scaled(4)}, sepColor_);
}

AttrResult CListHeaderItemUI::SetAttribute(std::string_view name, std::string_view value) {
    if (name == "sepcolor") return SetParsed(attr::Color(value), [&](ARGB c) { sepColor_ = c; Invalidate(); });
    return CButtonUI::SetAttribute(name, value);
}

CListHeaderUI::CListHeaderUI() { SetFixedHeight(24); }

void* CListHeaderUI::GetInterface(std::string_view name) {
    return name == "ListHeader" ? this : CHorizontalLayoutUI::GetInterface(name);
}

UiSize CListHeaderUI::EstimateSize(UiSize available) { return {0, CHorizontalLayoutUI::EstimateSize(available).cy}; }

}  // namespace q208
