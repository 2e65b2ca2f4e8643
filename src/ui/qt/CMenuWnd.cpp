#include "ui/qt/CMenuWnd.h"

#include <map>
#include <memory>
#include <mutex>

#include "ui/CMenuElementUI.h"
#include "ui/CMessageQueue.h"
#include "ui/COptionUI.h"
#include "ui/CWindowRegistry.h"
#include "ui/IUiPlatform.h"
#include "ui/PopupPlacement.h"
#include "ui/UiMessaging.h"

namespace q208 {

namespace {

struct MenuState {
    std::mutex mutex;
    std::map<WPARAM, MenuCmd> pending;
    WPARAM nextId = 1;
};

MenuState& State() {
    static MenuState state;
    return state;
}

// Open menus of the UI thread, owned here until their window is gone.
std::map<CMenuWnd*, std::unique_ptr<CMenuWnd>>& OpenMenus() {
    static std::map<CMenuWnd*, std::unique_ptr<CMenuWnd>> menus;
    return menus;
}

// Choices never taken are dropped after this many newer ones.
constexpr size_t kMaxPending = 64;

// The root's timer that notices the pointer resting on an item.
constexpr UINT kHoverTimer = 0x4D454E55;

CMenuWnd* MenuOf(HWND hwnd) { return dynamic_cast<CMenuWnd*>(CWindowRegistry::Instance().WindowOf(hwnd)); }

CMenuElementUI* AsMenuElement(CControlUI* control) {
    return control ? static_cast<CMenuElementUI*>(control->GetInterface("MenuElement")) : nullptr;
}

}  // namespace

CMenuWnd* CMenuWnd::Open(HWND owner, HWND parentMenu, const std::string& layout, UiRect anchor, bool beside) {
    std::unique_ptr<CMenuWnd> menu(new CMenuWnd(owner, parentMenu, layout));
    if (!menu->Create(parentMenu ? parentMenu : owner, "menu", 0, 0, anchor.left, anchor.top, 0, 0)) return nullptr;
    // A menu is as large as the window it belongs to.
    if (auto* ownerWindow = dynamic_cast<WindowImplBase*>(CWindowRegistry::Instance().WindowOf(owner))) {
        menu->FitToDpi(ownerWindow->GetPaintManager().GetDPI());
    }
    const UiRect rc = menu->GetWindowRect();
    const UiSize size{rc.Width(), rc.Height()};
    const UiRect area = UiPlatform().WorkArea();
    menu->SetWindowPos(beside ? PlaceSubmenu(anchor, size, area) : PlaceAtPoint({anchor.left, anchor.top}, size, area));
    menu->ShowWindow(true, true);
    CMenuWnd* raw = menu.get();
    OpenMenus().emplace(raw, std::move(menu));
    return raw;
}

HWND CMenuWnd::Popup(HWND owner, const std::string& layout, UiPoint screenPos) {
    CMenuWnd* menu = Open(owner, 0, layout, {screenPos.x, screenPos.y, screenPos.x, screenPos.y}, false);
    return menu ? menu->GetHWND() : 0;
}

int CMenuWnd::OpenCount() { return static_cast<int>(OpenMenus().size()); }

CMenuWnd* CMenuWnd::Current() {
    // The innermost: a live menu whose sub-menu is not open.
    for (auto& [raw, menu] : OpenMenus()) {
        if (IsWindow(raw->GetHWND()) && !IsWindow(raw->submenu_)) return raw;
    }
    return nullptr;
}

std::optional<MenuCmd> CMenuWnd::TakeCommand(WPARAM wParam) {
    auto& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.pending.find(wParam);
    if (it == state.pending.end()) return std::nullopt;
    MenuCmd cmd = std::move(it->second);
    state.pending.erase(it);
    return cmd;
}

void CMenuWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_TIMER && msg.pSender == m_pm.GetRoot() && msg.wParam == kHoverTimer) {
        m_pm.KillTimer(m_pm.GetRoot(), kHoverTimer);
        OnHoverRest();
    }
    if (msg.pSender && (msg.sType == DUI_MSGTYPE_CLICK || msg.sType == DUI_MSGTYPE_SELECTCHANGED)) {
        CMenuElementUI* element = AsMenuElement(msg.pSender);
        if (element && !element->GetSubmenu().empty()) {
            if (msg.sType == DUI_MSGTYPE_CLICK) OpenSubmenu(*element);
        } else {
            Choose(*msg.pSender);
        }
    }
    WindowImplBase::Notify(msg);
}

void CMenuWnd::OnHoverRest() {
    if (chosen_ || hover_ != m_pm.GetHover()) return;
    CMenuElementUI* element = AsMenuElement(hover_);
    if (element && element->IsEnabled() && !element->GetSubmenu().empty()) {
        if (hover_ != submenuItem_ || !IsWindow(submenu_)) OpenSubmenu(*element);
    } else if (hover_ && hover_ != submenuItem_) {
        if (CMenuWnd* open = MenuOf(submenu_)) open->Close(IDCANCEL);
    }
}

LRESULT CMenuWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
    if (uMsg == WM_MOUSEMOVE && parentMenu_) {
        // The innermost pop-up gets every move: one over the menu this one came from is
        // that menu's (resting on another of its items closes this one).
        const UiRect client = GetWindowRect();
        const UiPoint screen{client.left + LowSigned(lParam), client.top + HighSigned(lParam)};
        CMenuWnd* parent = MenuOf(parentMenu_);
        if (!client.Contains(screen) && parent && parent->GetWindowRect().Contains(screen)) {
            const UiRect at = parent->GetWindowRect();
            parent->HandleMessage(WM_MOUSEMOVE, wParam, MakeLParam(screen.x - at.left, screen.y - at.top));
            bHandled = true;
            return 0;
        }
    }
    if (uMsg == WM_MOUSEMOVE) {
        // After the manager has moved the hover: a new item starts the rest timer.
        LRESULT result = 0;
        m_pm.MessageHandler(uMsg, wParam, lParam, result);
        bHandled = true;
        if (m_pm.GetHover() != hover_ && m_pm.GetRoot()) {
            hover_ = m_pm.GetHover();
            m_pm.SetTimer(m_pm.GetRoot(), kHoverTimer, kHoverDelayMs);
        }
        return 0;
    }
    if (uMsg == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
        bHandled = true;
        m_pm.SetNextTabControl(wParam == VK_DOWN);
        return 0;
    }
    if (uMsg == WM_KEYDOWN && wParam == VK_RIGHT) {
        CMenuElementUI* element = AsMenuElement(m_pm.GetFocus());
        if (element && element->IsEnabled() && !element->GetSubmenu().empty()) {
            bHandled = true;
            OpenSubmenu(*element);
            return 0;
        }
    }
    if (uMsg == WM_KEYDOWN && wParam == VK_LEFT && parentMenu_) {
        bHandled = true;
        Close(IDCANCEL);
        return 0;
    }
    return WindowImplBase::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
}

void CMenuWnd::OpenSubmenu(CMenuElementUI& item) {
    if (CMenuWnd* open = MenuOf(submenu_)) open->Close(IDCANCEL);
    const UiRect client = GetWindowRect();
    CMenuWnd* sub = Open(owner_, GetHWND(), item.GetSubmenu(), item.GetPos().Offset(client.left, client.top), true);
    submenu_ = sub ? sub->GetHWND() : 0;
    submenuItem_ = sub ? &item : nullptr;
}

void CMenuWnd::OnPopupDismiss(PopupDismiss why, UiPoint clientPoint) {
    switch (why) {
    case PopupDismiss::FocusLost:
        // The focus went to our own sub-menu: this one stays.
        if (IsWindow(submenu_) || chosen_) return;
        CloseChain();
        return;
    case PopupDismiss::Escape:
        Close(IDCANCEL);
        return;
    case PopupDismiss::OutsidePress: {
        // A press on the menu this one came from closes only this one.
        const UiRect client = GetWindowRect();
        const UiPoint screen{client.left + clientPoint.x, client.top + clientPoint.y};
        CMenuWnd* parent = MenuOf(parentMenu_);
        if (parent && parent->GetWindowRect().Contains(screen)) {
            Close(IDCANCEL);
        } else {
            CloseChain();
        }
        return;
    }
    }
}

void CMenuWnd::CloseChain() {
    for (CMenuWnd* menu = this; menu; menu = MenuOf(menu->parentMenu_)) {
        menu->chosen_ = true;  // none of them reacts to the focus moving any more
        menu->Close(IDCANCEL);
    }
}

void CMenuWnd::Choose(CControlUI& item) {
    if (chosen_) return;
    MenuCmd cmd{item.GetName(), item.GetUserData(), item.GetText(), false};
    if (CMenuElementUI* element = AsMenuElement(&item)) {
        cmd.checked = element->IsCheckable() && element->CheckedAfterChoice();
    } else if (auto* option = static_cast<COptionUI*>(item.GetInterface("Option"))) {
        cmd.checked = option->IsSelected();
    }
    WPARAM id = 0;
    {
        auto& state = State();
        std::lock_guard lock(state.mutex);
        id = state.nextId++;
        if (state.pending.size() >= kMaxPending) state.pending.erase(state.pending.begin());
        state.pending.emplace(id, std::move(cmd));
    }
    if (!q208::PostMessage(owner_, kMenuMessage, id, 0)) TakeCommand(id);  // the owner is gone
    CloseChain();
}

void CMenuWnd::OnFinalMessage(HWND) {
    if (CMenuWnd* sub = MenuOf(submenu_)) sub->Close(IDCANCEL);
    if (CMenuWnd* parent = MenuOf(parentMenu_)) {
        parent->submenu_ = 0;
        parent->submenuItem_ = nullptr;
        if (!parent->chosen_ && parent->GetSurface()) parent->GetSurface()->BringToFront();
    }
    // The window layer no longer touches this object: release it once the call returned.
    CMenuWnd* self = this;
    CMessageQueue::Current().PostTask([self] { OpenMenus().erase(self); });
}

}  // namespace q208
