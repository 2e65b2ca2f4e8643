#include "ui/CContainerUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/CScrollBarUI.h"
#include "ui/UiAttrTable.h"

namespace q208 {

namespace {

// Main axis (the direction children follow each other) and cross axis of a line layout.
struct Axis {
    bool horizontal;
    int Main(UiSize s) const { return horizontal ? s.cx : s.cy; }
    int Cross(UiSize s) const { return horizontal ? s.cy : s.cx; }
    int MainMin(const CControlUI* c) const { return horizontal ? c->GetMinWidth() : c->GetMinHeight(); }
    int MainMax(const CControlUI* c) const { return horizontal ? c->GetMaxWidth() : c->GetMaxHeight(); }
    int CrossMin(const CControlUI* c) const { return horizontal ? c->GetMinHeight() : c->GetMinWidth(); }
    int CrossMax(const CControlUI* c) const { return horizontal ? c->GetMaxHeight() : c->GetMaxWidth(); }
    int Before(const UiRect& r) const { return horizontal ? r.left : r.top; }
    int After(const UiRect& r) const { return horizontal ? r.right : r.bottom; }
    int CrossBefore(const UiRect& r) const { return horizontal ? r.top : r.left; }
    int CrossAfter(const UiRect& r) const { return horizontal ? r.bottom : r.right; }
    int Length(const UiRect& r) const { return horizontal ? r.Width() : r.Height(); }
    int CrossLength(const UiRect& r) const { return horizontal ? r.Height() : r.Width(); }
    UiRect Make(int mainPos, int crossPos, int mainLen, int crossLen) const {
        if (horizontal) return {mainPos, crossPos, mainPos + mainLen, crossPos + crossLen};
        return {crossPos, mainPos, crossPos + crossLen, mainPos + mainLen};
    }
};

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, std::max(lo, hi))); }

enum class Align { Start, Center, End };
Align HorizontalAlign(UINT a) { return (a & DT_CENTER) ? Align::Center : (a & DT_RIGHT) ? Align::End : Align::Start; }
Align VerticalAlign(UINT a) { return (a & DT_VCENTER) ? Align::Center : (a & DT_BOTTOM) ? Align::End : Align::Start; }

void CollectSubtree(CControlUI* root, std::vector<CControlUI*>& out) {
    root->FindControl([&out](CControlUI* c) -> CControlUI* { out.push_back(c); return nullptr; }, UIFIND_ALL);
}

}  // namespace

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
    // Children go first, while this object is still a container.
    items_.clear();
    vScroll_.reset();
    hScroll_.reset();
}

void* CContainerUI::GetInterface(std::string_view name) {
    return name == "Container" ? this : CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return items_[static_cast<size_t>(index)].get();
}

int CContainerUI::GetItemIndex(const CControlUI* control) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == control) return static_cast<int>(i);
    }
    return -1;
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
    const int from = GetItemIndex(control);
    if (from < 0 || index < 0 || index >= GetCount()) return false;
    auto owned = std::move(items_[static_cast<size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + index, std::move(owned));
    NeedUpdate();
    return true;
}

CControlUI* CContainerUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
    if (!control) return nullptr;
    CControlUI* raw = control.get();
    if (index < 0 || index > GetCount()) index = GetCount();
    items_.insert(items_.begin() + index, std::move(control));
    if (manager_) {
        manager_->InitControls(raw, this);
    } else {
        raw->SetManager(nullptr, this, false);
    }
    if (IsVisible()) NeedUpdate();
    return raw;
}

bool CContainerUI::RemoveAt(int index) {
    // Through the virtual Remove, so that lists and tabs keep their selection right.
    CControlUI* control = GetItemAt(index);
    return control && Remove(control);
}

bool CContainerUI::Remove(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (index < 0) return false;
    auto owned = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    owned.reset();
    NeedUpdate();
    return true;
}

void CContainerUI::RemoveAll() {
    auto owned = std::move(items_);
    items_.clear();
    owned.clear();
    SetScrollPos({0, 0});
    NeedUpdate();
}

std::unique_ptr<CControlUI> CContainerUI::Detach(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (index < 0) return nullptr;
    auto owned = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    if (manager_) {
        std::vector<CControlUI*> subtree;
        CollectSubtree(owned.get(), subtree);
        for (CControlUI* c : subtree) manager_->ReapObjects(c);
    }
    owned->SetManager(nullptr, nullptr, false);
    NeedUpdate();
    return owned;
}

UiRect CContainerUI::GetInset() const { return Scaled(inset_); }
void CContainerUI::SetInset(const UiRect& inset) {
    inset_ = inset;
    NeedUpdate();
}
int CContainerUI::GetChildPadding() const { return Scaled(childPadding_); }
void CContainerUI::SetChildPadding(int padding) {
    childPadding_ = padding;
    NeedUpdate();
}
void CContainerUI::SetChildAlign(UINT align) {
    childAlign_ = align;
    NeedUpdate();
}
void CContainerUI::SetChildVAlign(UINT align) {
    childVAlign_ = align;
    NeedUpdate();
}

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal) {
    auto make = [this](bool hor) {
        auto bar = std::make_unique<CScrollBarUI>();
        bar->SetOwner(this);
        bar->SetHorizontal(hor);
        bar->SetVisible(false);
        bar->SetManager(manager_, this, false);
        return bar;
    };
    if (vertical && !vScroll_) vScroll_ = make(false);
    if (!vertical) vScroll_.reset();
    if (horizontal && !hScroll_) hScroll_ = make(true);
    if (!horizontal) hScroll_.reset();
    NeedUpdate();
}

UiSize CContainerUI::GetScrollPos() const {
    return {hScroll_ ? hScroll_->GetScrollPos() : 0, vScroll_ ? vScroll_->GetScrollPos() : 0};
}

UiSize CContainerUI::GetScrollRange() const {
    return {hScroll_ ? hScroll_->GetScrollRange() : 0, vScroll_ ? vScroll_->GetScrollRange() : 0};
}

void CContainerUI::SetScrollPos(UiSize pos) {
    const UiSize old = GetScrollPos();
    if (hScroll_) hScroll_->SetScrollPos(pos.cx, true);
    if (vScroll_) vScroll_->SetScrollPos(pos.cy, true);
    if (GetScrollPos() != old) {
        NeedUpdate();
        SendNotify(DUI_MSGTYPE_SCROLL);
    }
}

void CContainerUI::LineUp() {
    if (vScroll_) SetScrollPos({GetScrollPos().cx, GetScrollPos().cy - vScroll_->GetLineSize()});
}
void CContainerUI::LineDown() {
    if (vScroll_) SetScrollPos({GetScrollPos().cx, GetScrollPos().cy + vScroll_->GetLineSize()});
}
void CContainerUI::PageUp() { SetScrollPos({GetScrollPos().cx, GetScrollPos().cy - ClientArea().Height()}); }
void CContainerUI::PageDown() { SetScrollPos({GetScrollPos().cx, GetScrollPos().cy + ClientArea().Height()}); }
void CContainerUI::HomeUp() { SetScrollPos({GetScrollPos().cx, 0}); }
void CContainerUI::EndDown() { SetScrollPos({GetScrollPos().cx, GetScrollRange().cy}); }

void CContainerUI::ScrollIntoView(const UiRect& rc) {
    const UiRect client = ClientArea();
    UiSize pos = GetScrollPos();
    if (rc.top < client.top) {
        pos.cy -= client.top - rc.top;
    } else if (rc.bottom > client.bottom) {
        pos.cy += std::min(rc.bottom - client.bottom, rc.top - client.top);
    }
    if (rc.left < client.left) {
        pos.cx -= client.left - rc.left;
    } else if (rc.right > client.right) {
        pos.cx += std::min(rc.right - client.right, rc.left - client.left);
    }
    SetScrollPos(pos);
}

UiRect CContainerUI::ClientArea() const {
    UiRect area = rcItem_.Deflate(GetInset());
    if (vScroll_ && vScroll_->IsVisible()) area.right -= vScroll_->GetThickness();
    if (hScroll_ && hScroll_->IsVisible()) area.bottom -= hScroll_->GetThickness();
    return area;
}

UiRect CContainerUI::ProcessScrollBar(const UiRect& area, int cxNeeded, int cyNeeded) {
    UiRect client = area;
    const bool needV = vScroll_ && cyNeeded > area.Height();
    const bool needH = hScroll_ && cxNeeded > area.Width();
    if (needV) client.right -= vScroll_->GetThickness();
    if (needH) client.bottom -= hScroll_->GetThickness();
    if (vScroll_) {
        vScroll_->SetVisible(needV);
        vScroll_->SetScrollRange(needV ? cyNeeded - client.Height() : 0);
        vScroll_->SetPos({client.right, area.top, area.right, client.bottom}, false);
    }
    if (hScroll_) {
        hScroll_->SetVisible(needH);
        hScroll_->SetScrollRange(needH ? cxNeeded - client.Width() : 0);
        hScroll_->SetPos({area.left, client.bottom, client.right, area.bottom}, false);
    }
    return client.Normalized();
}

void CContainerUI::SetFloatPos(int index) {
    CControlUI* c = GetItemAt(index);
    if (!c) return;
    const UiSize xy = c->GetFixedXY();
    const int w = c->GetFixedWidth();
    const int h = c->GetFixedHeight();
    UiRect r;
    // A negative position counts from the right or bottom edge.
    if (xy.cx >= 0) {
        r.left = rcItem_.left + xy.cx;
        r.right = r.left + w;
    } else {
        r.right = rcItem_.right + xy.cx;
        r.left = r.right - w;
    }
    if (xy.cy >= 0) {
        r.top = rcItem_.top + xy.cy;
        r.bottom = r.top + h;
    } else {
        r.bottom = rcItem_.bottom + xy.cy;
        r.top = r.bottom - h;
    }
    c->SetPos(r);
}

void CContainerUI::SetPos(const UiRect& rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    const UiRect area = rcItem_.Deflate(GetInset());
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = items_[static_cast<size_t>(i)].get();
        if (!c->IsVisible()) continue;
        if (c->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const UiRect pad = c->GetPadding();
        const UiSize sz = c->EstimateSize({area.Width(), area.Height()});
        const int w = Clamp(sz.cx > 0 ? sz.cx : area.Width() - pad.left - pad.right, c->GetMinWidth(), c->GetMaxWidth());
        const int h = Clamp(sz.cy > 0 ? sz.cy : area.Height() - pad.top - pad.bottom, c->GetMinHeight(), c->GetMaxHeight());
        const int x = area.left + pad.left;
        const int y = area.top + pad.top;
        c->SetPos({x, y, x + w, y + h});
    }
}

void CContainerUI::LayoutLine(const UiRect& rc, bool horizontal) {
    CControlUI::SetPos(rc, true);
    const Axis ax{horizontal};
    const UiRect area = rcItem_.Deflate(GetInset());
    const UiSize available{area.Width(), area.Height()};
    const int gap = GetChildPadding();

    struct Entry {
        CControlUI* control;
        UiSize size;
        UiRect pad;
    };
    std::vector<Entry> flow;
    flow.reserve(items_.size());
    int fixedTotal = 0;    // fixed lengths, paddings and gaps along the main axis
    int stretchMin = 0;
    int stretchCount = 0;
    int crossNeeded = 0;
    for (auto& item : items_) {
        CControlUI* c = item.get();
        if (!c->IsVisible() || c->IsFloat()) continue;
        Entry e{c, c->EstimateSize(available), c->GetPadding()};
        const int mainPad = ax.Before(e.pad) + ax.After(e.pad);
        if (ax.Main(e.size) == 0) {
            ++stretchCount;
            stretchMin += ax.MainMin(c);
        } else {
            const int len = Clamp(ax.Main(e.size), ax.MainMin(c), ax.MainMax(c));
            if (horizontal) {
                e.size.cx = len;
            } else {
                e.size.cy = len;
            }
            fixedTotal += len;
        }
        fixedTotal += mainPad;
        const int crossLen = ax.Cross(e.size) > 0 ? ax.Cross(e.size) : ax.CrossMin(c);
        crossNeeded = std::max(crossNeeded, crossLen + ax.CrossBefore(e.pad) + ax.CrossAfter(e.pad));
        flow.push_back(e);
    }
    if (flow.size() > 1) fixedTotal += gap * static_cast<int>(flow.size() - 1);

    const int mainNeeded = fixedTotal + stretchMin;
    const UiRect client = horizontal ? ProcessScrollBar(area, mainNeeded, crossNeeded)
                                     : ProcessScrollBar(area, crossNeeded, mainNeeded);
    const UiSize scroll = GetScrollPos();
    const int mainScroll = horizontal ? scroll.cx : scroll.cy;
    const int crossScroll = horizontal ? scroll.cy : scroll.cx;

    const int remaining = ax.Length(client) - fixedTotal;  // what the stretch children share
    const int expand = stretchCount > 0 ? std::max(0, remaining / stretchCount) : 0;
    int pos = ax.Before(client) - mainScroll;
    if (stretchCount == 0 && remaining > 0) {
        const Align mainAlign = horizontal ? HorizontalAlign(childAlign_) : VerticalAlign(childVAlign_);
        if (mainAlign == Align::Center) pos += remaining / 2;
        if (mainAlign == Align::End) pos += remaining;
    }
    const Align crossAlign = horizontal ? VerticalAlign(childVAlign_) : HorizontalAlign(childAlign_);
    const int crossAvail = ax.CrossLength(client);

    int stretchSeen = 0;
    int stretchUsed = 0;
    for (const Entry& e : flow) {
        CControlUI* c = e.control;
        int len = ax.Main(e.size);
        if (len == 0) {
            ++stretchSeen;
            // The last stretch child takes what rounding left over.
            len = stretchSeen == stretchCount ? std::max(0, remaining - stretchUsed) : expand;
            len = Clamp(len, ax.MainMin(c), ax.MainMax(c));
            stretchUsed += len;
        }
        int cross = ax.Cross(e.size);
        if (cross == 0) cross = crossAvail - ax.CrossBefore(e.pad) - ax.CrossAfter(e.pad);
        cross = Clamp(cross, ax.CrossMin(c), ax.CrossMax(c));
        int crossPos = ax.CrossBefore(client) + ax.CrossBefore(e.pad);
        if (crossAlign == Align::Center) crossPos = ax.CrossBefore(client) + (crossAvail - cross) / 2;
        if (crossAlign == Align::End) crossPos = ax.CrossAfter(client) - ax.CrossAfter(e.pad) - cross;
        c->SetPos(ax.Make(pos + ax.Before(e.pad), crossPos - crossScroll, len, cross));
        pos += ax.Before(e.pad) + len + ax.After(e.pad) + gap;
    }
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = items_[static_cast<size_t>(i)].get();
        if (c->IsVisible() && c->IsFloat()) SetFloatPos(i);
    }
}

void CContainerUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_SCROLLWHEEL) {
        if (vScroll_ && vScroll_->IsVisible() && vScroll_->GetScrollRange() > 0) {
            const int notches = std::max(1, std::abs(static_cast<int>(static_cast<intptr_t>(event.wParam))) / 120);
            for (int i = 0; i < notches; ++i) {
                if (static_cast<intptr_t>(event.wParam) > 0) {
                    LineUp();
                } else {
                    LineDown();
                }
            }
            return;
        }
    }
    CControlUI::DoEvent(event);
}

void CContainerUI::DoPaint(IRenderTarget& target, const UiRect& rcPaint) {
    if (!rcPaint.Intersects(rcItem_)) return;
    target.PushClip(rcItem_);
    CControlUI::DoPaint(target, rcPaint);
    const UiRect visible = rcPaint.Intersect(rcItem_);
    for (auto& item : items_) {
        if (!item->IsVisible()) continue;
        if (!visible.Intersects(item->GetPos())) continue;
        item->DoPaint(target, visible);
    }
    if (vScroll_ && vScroll_->IsVisible()) vScroll_->DoPaint(target, visible);
    if (hScroll_ && hScroll_->IsVisible()) hScroll_->DoPaint(target, visible);
    target.PopClip();
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    for (auto& item : items_) item->SetManager(manager, this, false);
    if (vScroll_) vScroll_->SetManager(manager, this, false);
    if (hScroll_) hScroll_->SetManager(manager, this, false);
    CControlUI::SetManager(manager, parent, init);
}

CControlUI* CContainerUI::FindControl(const FindProc& proc, UINT flags) {
    if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if (flags & UIFIND_HITTEST) {
        // Nothing inside can be hit outside this rectangle: children are clipped to it.
        if (!proc(this)) return nullptr;
        if (vScroll_ && vScroll_->IsVisible()) {
            if (auto* hit = vScroll_->FindControl(proc, flags)) return hit;
        }
        if (hScroll_ && hScroll_->IsVisible()) {
            if (auto* hit = hScroll_->FindControl(proc, flags)) return hit;
        }
        if (!mouseChildEnabled_) return IsMouseEnabled() ? this : nullptr;
    }
    if (flags & UIFIND_ME_FIRST) {
        if (auto* self = CControlUI::FindControl(proc, flags)) return self;
    }
    if (flags & UIFIND_TOP_FIRST) {
        for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
            if (auto* hit = (*it)->FindControl(proc, flags)) return hit;
        }
    } else {
        for (auto& item : items_) {
            if (auto* hit = item->FindControl(proc, flags)) return hit;
        }
    }
    if (!(flags & UIFIND_ME_FIRST)) return CControlUI::FindControl(proc, flags);
    return nullptr;
}

AttrResult CContainerUI::SetAttribute(std::string_view name, std::string_view value) {
    using C = CContainerUI;
    static const AttrTable<C> table = {
        {"inset", [](C& c, std::string_view v) { return SetParsed(attr::Rect(v), [&](UiRect r) { c.SetInset(r); }); }},
        {"childpadding", [](C& c, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { c.SetChildPadding(n); }); }},
        {"childalign", [](C& c, std::string_view v) { return SetParsed(attr::HAlign(v), [&](UINT a) { c.SetChildAlign(a); }); }},
        {"childvalign", [](C& c, std::string_view v) { return SetParsed(attr::VAlign(v), [&](UINT a) { c.SetChildVAlign(a); }); }},
        {"mousechild", [](C& c, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { c.SetMouseChildEnabled(b); }); }},
        {"vscrollbar", [](C& c, std::string_view v) {
             return SetParsed(attr::Bool(v), [&](bool b) { c.EnableScrollBar(b, c.GetHorizontalScrollBar() != nullptr); });
         }},
        {"hscrollbar", [](C& c, std::string_view v) {
             return SetParsed(attr::Bool(v), [&](bool b) { c.EnableScrollBar(c.GetVerticalScrollBar() != nullptr, b); });
         }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CControlUI::SetAttribute(name, value);
}

std::vector<CControlUI*> CContainerUI::GetAccessChildren() const {
    std::vector<CControlUI*> shown;
    for (int i = 0; i < GetCount(); ++i) {
        if (CControlUI* item = GetItemAt(i); item && item->IsVisible()) shown.push_back(item);
    }
    return shown;
}

}  // namespace q208
