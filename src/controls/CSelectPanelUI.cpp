#include "controls/CSelectPanelUI.h"

#include <algorithm>

#include "devices/base/IDeviceKeyButton.h"
#include "ui/CPaintManagerUI.h"

namespace q208 {

void* CSelectPanelUI::GetInterface(std::string_view name) {
    return name == kClassName ? this : CVerticalLayoutUI::GetInterface(name);
}

void CSelectPanelUI::DoEvent(TEventUI& event) {
    const int type = event.Type;
    const UiPoint pointer = event.ptMouse;
    auto alive = Lifetime();
    CVerticalLayoutUI::DoEvent(event);
    if (alive.expired()) return;
    TEventUI local = event;
    local.ptMouse = pointer;
    switch (type) {
    case UIEVENT_BUTTONDOWN: OnButtonDown(local); break;
    case UIEVENT_BUTTONUP: OnButtonUp(); break;
    case UIEVENT_MOUSEMOVE: OnMouseMove(local); break;
    default: break;
    }
}

void CSelectPanelUI::OnButtonDown(const TEventUI& event) {
    if (!IsEnabled()) return;
    pressed_ = true;
    start_ = event.ptMouse;
}

// The layouts of this window layer have no draggable separator, so there is no captured
// separator state to release here.
void CSelectPanelUI::OnButtonUp() {
    pressed_ = false;
    if (!dragging_) return;
    dragging_ = false;
    start_ = end_;
    ApplySelection();
    NeedUpdate();
    if (manager_) manager_->SendNotify(this, kSelectEnd, 0, 0, false);
}

void CSelectPanelUI::OnMouseMove(const TEventUI& event) {
    if (pressed_) dragging_ = true;
    if (!dragging_) return;
    end_ = event.ptMouse;
    selection_.left = std::min(start_.x, end_.x);
    selection_.right = std::max(start_.x, end_.x);
    selection_.top = std::min(start_.y, end_.y);
    selection_.bottom = std::max(start_.y, end_.y);
    NeedUpdate();
}

void CSelectPanelUI::ApplySelection() {
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (child->GetClass() != IDeviceKeyButton::kClassName) continue;
        auto* button = static_cast<IDeviceKeyButton*>(child->GetInterface(IDeviceKeyButton::kInterfaceName));
        if (!button) continue;
        const UiRect overlap = child->GetPos().Intersect(selection_);
        button->SetSelected(overlap.Width() > 0 && overlap.Height() > 0);
    }
}

void CSelectPanelUI::DoPaint(IRenderTarget& target, const UiRect& rcPaint) {
    CVerticalLayoutUI::DoPaint(target, rcPaint);
}

}  // namespace q208
