#include "ui/CComboUI.h"

#include "ui/CComboWnd.h"
#include "ui/CListUI.h"
#include "ui/CWindowRegistry.h"
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

CComboUI::~CComboUI() {
    if (CComboWnd* drop = GetDropWindow()) drop->ReleaseOwner();
}

CComboWnd* CComboUI::GetDropWindow() const {
    if (!dropWnd_) return nullptr;
    auto* drop = dynamic_cast<CComboWnd*>(CWindowRegistry::Instance().WindowOf(dropWnd_));
    return drop && drop->GetOwner() == this ? drop : nullptr;
}

void CComboUI::DropListChanged() {
    if (CComboWnd* drop = GetDropWindow()) drop->Relayout();
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
    if (CComboWnd* drop = GetDropWindow()) {
        drop->Adopt(*raw);
        drop->Relayout();
    }
    return raw;
}

bool CComboUI::Remove(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (index < 0) return false;
    CContainerUI::Remove(control);
    if (index == curSel_) curSel_ = -1;
    else if (index < curSel_) --curSel_;
    Reindex(index);
    DropListChanged();
    Invalidate();
    return true;
}

void CComboUI::RemoveAll() {
    ClosePopup();
    curSel_ = -1;
    CContainerUI::RemoveAll();
    Invalidate();
}

std::unique_ptr<CControlUI> CComboUI::Detach(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (index >= 0) ClosePopup();
    auto owned = CContainerUI::Detach(control);
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

void CComboUI::ShowDropDown() {
    if (IsDropped() || !manager_ || GetCount() == 0) return;
    CComboWnd* drop = CComboWnd::Open(*this);
    if (!drop) return;
    dropWnd_ = drop->GetHWND();
    Invalidate();
    SendNotify(DUI_MSGTYPE_DROPDOWN);
}

// The items are back with the combo at once; the window itself goes from the loop.
void CComboUI::ClosePopup() {
    if (CComboWnd* drop = GetDropWindow()) drop->ReleaseOwner();
}

void CComboUI::OnDropClosed(CComboWnd& drop) {
    // A newer list of this combo stays; the closing one may have lost its handle already.
    auto* open = dynamic_cast<CComboWnd*>(CWindowRegistry::Instance().WindowOf(dropWnd_));
    if (open && open != &drop) return;
    dropWnd_ = 0;
    Invalidate();
}

void CComboUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled() && rcItem_.Contains(event.ptMouse)) ShowDropDown();
        return;
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
        return;
    case UIEVENT_SCROLLWHEEL: {
        const bool up = static_cast<intptr_t>(event.wParam) > 0;
        if (IsEnabled() && GetCount() > 0) SelectItem(std::clamp(curSel_ + (up ? -1 : 1), 0, GetCount() - 1), false, true);
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
        case VK_F4:
            ShowDropDown();
            return;
        default:
            break;
        }
        break;
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
    else if (IsDropped() && !pushedImage_.desc.file.empty()) image = &pushedImage_;
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

bool CComboUI::DoAccessAction(std::string_view action) {
    return action == kAccessPress && IsEnabled() && Activate();
}

std::vector<CControlUI*> CComboUI::GetAccessChildren() const {
    std::vector<CControlUI*> items;
    for (int i = 0; i < GetCount(); ++i) items.push_back(GetItemAt(i));
    return items;
}

}  // namespace q208
