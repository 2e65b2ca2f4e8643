#include "ui/qt/CMenuWnd.h"

#include <map>
#include <memory>
#include <mutex>

#include "ui/CMessageQueue.h"
#include "ui/COptionUI.h"
#include "ui/CWindowRegistry.h"
#include "ui/IUiPlatform.h"
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

}  // namespace

HWND CMenuWnd::Popup(HWND owner, const std::string& layout, UiPoint screenPos) {
    std::unique_ptr<CMenuWnd> menu(new CMenuWnd(owner, layout));
    if (!menu->Create(owner, "menu", 0, 0, screenPos.x, screenPos.y, 0, 0)) return 0;
    // A menu is as large as the window it belongs to.
    if (auto* ownerWindow = dynamic_cast<WindowImplBase*>(CWindowRegistry::Instance().WindowOf(owner))) {
        menu->FitToDpi(ownerWindow->GetPaintManager().GetDPI());
    }
    // Keep the menu on the screen.
    const UiRect area = UiPlatform().WorkArea();
    UiRect rc = menu->GetWindowRect();
    const int dx = rc.right > area.right ? area.right - rc.right : 0;
    const int dy = rc.bottom > area.bottom ? area.bottom - rc.bottom : 0;
    if (dx || dy) menu->SetWindowPos(rc.Offset(dx, dy));
    menu->ShowWindow(true, true);
    const HWND hwnd = menu->GetHWND();
    CMenuWnd* raw = menu.get();
    OpenMenus().emplace(raw, std::move(menu));
    return hwnd;
}

int CMenuWnd::OpenCount() { return static_cast<int>(OpenMenus().size()); }

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
    if (msg.pSender && (msg.sType == DUI_MSGTYPE_CLICK || msg.sType == DUI_MSGTYPE_SELECTCHANGED)) Choose(*msg.pSender);
    WindowImplBase::Notify(msg);
}

void CMenuWnd::Choose(CControlUI& item) {
    if (chosen_) return;
    chosen_ = true;
    MenuCmd cmd{item.GetName(), item.GetUserData(), item.GetText(), false};
    if (auto* option = static_cast<COptionUI*>(item.GetInterface("Option"))) cmd.checked = option->IsSelected();
    WPARAM id = 0;
    {
        auto& state = State();
        std::lock_guard lock(state.mutex);
        id = state.nextId++;
        if (state.pending.size() >= kMaxPending) state.pending.erase(state.pending.begin());
        state.pending.emplace(id, std::move(cmd));
    }
    if (!q208::PostMessage(owner_, kMenuMessage, id, 0)) TakeCommand(id);  // the owner is gone
    Close(IDOK);
}

void CMenuWnd::OnFinalMessage(HWND) {
    // The window layer no longer touches this object: release it once the call returned.
    CMenuWnd* self = this;
    CMessageQueue::Current().PostTask([self] { OpenMenus().erase(self); });
}

}  // namespace q208
