#include "ui/CComboWnd.h"

#include <map>
#include <memory>

#include "ui/CComboUI.h"
#include "ui/CMessageQueue.h"
#include "ui/CWindowRegistry.h"
#include "ui/PopupPlacement.h"

namespace q208 {

namespace {

// Open drop-downs of the UI thread, owned here until their window is gone.
std::map<CComboWnd*, std::unique_ptr<CComboWnd>>& OpenDrops() {
    static std::map<CComboWnd*, std::unique_ptr<CComboWnd>> drops;
    return drops;
}

CComboWnd* current = nullptr;

constexpr int kBorder = 1;
constexpr int kWheelStep = 20;

}  // namespace

// The root of the drop-down window: lays the combo's items out in a column that scrolls,
// paints them over the drop-down colour and takes every pointer and key event itself.
class CComboDropUI : public CControlUI {
public:
    CComboDropUI(CComboWnd& window, CComboUI& combo) : window_(window), combo_(combo) {}

    std::string GetClass() const override { return "ComboDropUI"; }
    int ContentHeight() {
        int total = 0;
        for (int i = 0; i < combo_.GetCount(); ++i) {
            CControlUI* c = combo_.GetItemAt(i);
            if (c->IsVisible()) total += c->EstimateSize({rcItem_.Width(), 0}).cy;
        }
        return total;
    }
    int Hot() const { return hot_; }

    void SetPos(const UiRect& rc, bool needInvalidate) override {
        CControlUI::SetPos(rc, needInvalidate);
        Layout();
    }

    void Layout() {
        const UiRect inner = Inner();
        scroll_ = std::clamp(scroll_, 0, std::max(0, ContentHeight() - inner.Height()));
        int y = inner.top - scroll_;
        for (int i = 0; i < combo_.GetCount(); ++i) {
            CControlUI* c = combo_.GetItemAt(i);
            if (!c->IsVisible()) continue;
            const int h = c->EstimateSize({inner.Width(), 0}).cy;
            c->SetPos({inner.left, y, inner.right, y + h}, false);
            y += h;
        }
        Invalidate();
    }

    void SetHot(int index) {
        if (index == hot_) return;
        if (CControlUI* old = combo_.GetItemAt(hot_)) Send(*old, UIEVENT_MOUSELEAVE);
        hot_ = index;
        if (CControlUI* now = combo_.GetItemAt(hot_)) {
            Send(*now, UIEVENT_MOUSEENTER);
            ScrollTo(*now);
        }
        Invalidate();
    }

    void DoEvent(TEventUI& event) override {
        switch (event.Type) {
        case UIEVENT_MOUSEMOVE:
            if (const int index = ItemAt(event.ptMouse); index >= 0) SetHot(index);
            return;
        case UIEVENT_BUTTONUP:
            if (const int index = ItemAt(event.ptMouse); index >= 0) window_.Choose(index);
            return;
        case UIEVENT_SCROLLWHEEL:
            scroll_ += static_cast<intptr_t>(event.wParam) > 0 ? -Scaled(kWheelStep) : Scaled(kWheelStep);
            Layout();
            return;
        case UIEVENT_KEYDOWN:
            OnKey(event.chKey);
            return;
        default:
            break;
        }
        CControlUI::DoEvent(event);
    }

    void DoPaint(IRenderTarget& target, const UiRect& rcPaint) override {
        if (!rcPaint.Intersects(rcItem_)) return;
        target.FillRect(rcItem_, combo_.dropBkColor);
        const UiRect inner = Inner();
        target.PushClip(inner);
        for (int i = 0; i < combo_.GetCount(); ++i) {
            CControlUI* c = combo_.GetItemAt(i);
            if (c->IsVisible() && c->GetPos().Intersects(inner)) c->DoPaint(target, inner);
        }
        target.PopClip();
        if (combo_.dropBorderColor >> 24) target.DrawBorder(rcItem_, Scaled(kBorder), 0, combo_.dropBorderColor);
    }

private:
    UiRect Inner() const {
        const int b = Scaled(kBorder);
        return rcItem_.Deflate({b, b, b, b});
    }

    static bool Choosable(CControlUI* c) { return c && c->IsVisible() && c->IsEnabled(); }

    int ItemAt(UiPoint pt) const {
        if (!Inner().Contains(pt)) return -1;
        for (int i = 0; i < combo_.GetCount(); ++i) {
            CControlUI* c = combo_.GetItemAt(i);
            if (Choosable(c) && c->GetPos().Contains(pt)) return i;
        }
        return -1;
    }

    // The next choosable item from `from` in steps of `step` (±1), or `from` when none.
    int Walk(int from, int step, int count) const {
        int best = from;
        for (int i = from + step, moved = 0; i >= 0 && i < combo_.GetCount(); i += step) {
            if (!Choosable(combo_.GetItemAt(i))) continue;
            best = i;
            if (++moved == count) break;
        }
        return best;
    }

    int VisibleRows() {
        CControlUI* first = combo_.GetItemAt(0);
        const int rowHeight = first ? std::max(1, first->EstimateSize({Inner().Width(), 0}).cy) : 1;
        return std::max(1, Inner().Height() / rowHeight);
    }

    void OnKey(uint32_t key) {
        switch (key) {
        case VK_UP: SetHot(Walk(hot_ < 0 ? combo_.GetCount() : hot_, -1, 1)); break;
        case VK_DOWN: SetHot(Walk(hot_, 1, 1)); break;
        case VK_HOME: SetHot(Walk(-1, 1, 1)); break;
        case VK_END: SetHot(Walk(combo_.GetCount(), -1, 1)); break;
        case VK_PRIOR: SetHot(Walk(hot_, -1, VisibleRows())); break;
        case VK_NEXT: SetHot(Walk(hot_, 1, VisibleRows())); break;
        case VK_RETURN:
        case VK_SPACE:
            if (Choosable(combo_.GetItemAt(hot_))) window_.Choose(hot_);
            break;
        case VK_TAB: window_.Close(IDCANCEL); break;
        default: break;
        }
    }

    void ScrollTo(CControlUI& item) {
        const UiRect inner = Inner();
        const UiRect rc = item.GetPos();
        if (rc.top < inner.top) scroll_ -= inner.top - rc.top;
        else if (rc.bottom > inner.bottom) scroll_ += rc.bottom - inner.bottom;
        else return;
        Layout();
    }

    void Send(CControlUI& item, int type) {
        TEventUI event;
        event.Type = type;
        event.pSender = &item;
        item.Event(event);
    }

    CComboWnd& window_;
    CComboUI& combo_;
    int hot_ = -1;
    int scroll_ = 0;
};

CComboWnd* CComboWnd::Open(CComboUI& owner) {
    CPaintManagerUI* manager = owner.GetManager();
    if (!manager || !manager->GetWindow() || owner.GetCount() == 0) return nullptr;
    std::unique_ptr<CComboWnd> wnd(new CComboWnd(owner));
    if (!wnd->Create(manager->GetPaintWindow(), "combo", 0, 0, 0, 0, 1, 1)) return nullptr;
    CComboWnd* raw = wnd.get();
    OpenDrops().emplace(raw, std::move(wnd));
    raw->SetWindowPos(raw->Placement());
    raw->m_pm.DoLayout();
    raw->SetHotItem(owner.GetCurSel());
    raw->ShowWindow(true, true);
    current = raw;
    return raw;
}

CComboWnd* CComboWnd::Current() { return current; }

LRESULT CComboWnd::OnCreate(UINT, WPARAM, LPARAM, bool& bHandled) {
    bHandled = true;
    CPaintManagerUI* ownerManager = owner_->GetManager();
    m_pm.Init(this, GetWindowClassName());
    m_pm.SetDPI(ownerManager->GetDPI());
    m_pm.UseParentResource(ownerManager);
    m_pm.AddPreMessageFilter(this);
    auto root = std::make_unique<CComboDropUI>(*this, *owner_);
    list_ = root.get();
    m_pm.AttachDialog(std::move(root));
    m_pm.AddNotifier(this);
    for (int i = 0; i < owner_->GetCount(); ++i) Adopt(*owner_->GetItemAt(i));
    m_pm.SetFocus(list_);
    return 0;
}

UiRect CComboWnd::Placement() const {
    CWindowWnd* ownerWindow = owner_->GetManager()->GetWindow();
    const UiRect client = ownerWindow->GetWindowRect();
    const UiRect anchor = owner_->GetPos().Offset(client.left, client.top);
    const UiSize box = owner_->GetDropBoxSize();
    const int border = 2 * m_pm.ScaleValue(kBorder);
    const int content = list_->ContentHeight() + border;
    const UiSize size{box.cx > 0 ? box.cx : anchor.Width(), box.cy > 0 ? std::min(content, box.cy) : content};
    return PlaceBelow(anchor, size, ownerWindow->GetMonitorRect());
}

void CComboWnd::Adopt(CControlUI& item) {
    // The item stays the combo's child; only its window (painting, fonts, DPI) is this one.
    item.SetManager(&m_pm, owner_, false);
}

void CComboWnd::Relayout() {
    if (list_) list_->Layout();
}

int CComboWnd::GetHotItem() const { return list_ ? list_->Hot() : -1; }

void CComboWnd::SetHotItem(int index) {
    if (list_) list_->SetHot(index);
}

void CComboWnd::Choose(int index) {
    CComboUI* owner = owner_;
    if (!owner) return;
    // Gone from the screen before anyone hears of the choice: a handler may open a window.
    ShowWindow(false, false);
    Finish();
    Close(IDOK);
    owner->SelectItem(index, false, true);
}

void CComboWnd::ReleaseOwner() {
    Finish();
    Close(IDCANCEL);
}

void CComboWnd::Finish() {
    CComboUI* owner = std::exchange(owner_, nullptr);
    if (!owner) return;
    if (list_) list_->SetHot(-1);
    for (int i = 0; i < owner->GetCount(); ++i) owner->GetItemAt(i)->SetManager(owner->GetManager(), owner, false);
    owner->OnDropClosed(*this);
}

void CComboWnd::OnFinalMessage(HWND) {
    Finish();
    if (current == this) current = nullptr;
    // The window layer no longer touches this object: release it once the call returned.
    CComboWnd* self = this;
    CMessageQueue::Current().PostTask([self] { OpenDrops().erase(self); });
}

}  // namespace q208
