#include "ui/CWindowWnd.h"

#include <algorithm>

#include "ui/CMessageQueue.h"
#include "ui/CWindowRegistry.h"
#include "ui/IUiPlatform.h"
#include "ui/UiInput.h"
#include "ui/UiMessaging.h"
#include "ui/Utf8.h"

namespace q208 {

namespace {

UINT ModifierBits(UINT modifiers) {
    UINT bits = 0;
    if (modifiers & kModShift) bits |= MK_SHIFT;
    if (modifiers & kModControl) bits |= MK_CONTROL;
    if (modifiers & kModAlt) bits |= MK_ALT;
    return bits;
}

}  // namespace

CWindowWnd::CWindowWnd() = default;

CWindowWnd::~CWindowWnd() {
    // Without OnFinalMessage: a derived part no longer exists here.
    if (hwnd_) {
        CWindowRegistry::Instance().Remove(hwnd_);
        hwnd_ = 0;
        surface_.reset();
        if (modal_) modal_->done = true;
    }
}

HWND CWindowWnd::Create(HWND parent, std::string_view name, UINT style, UINT exStyle, int x, int y, int cx, int cy) {
    return Create(parent, name, style, exStyle, UiRect{x, y, x + cx, y + cy});
}

HWND CWindowWnd::Create(HWND parent, std::string_view name, UINT /*style*/, UINT /*exStyle*/, const UiRect& rc) {
    if (hwnd_) return hwnd_;
    owner_ = parent;
    hwnd_ = CWindowRegistry::Instance().Add(this, CMessageQueue::CurrentShared());
    SurfaceParams params;
    params.className = GetWindowClassName();
    params.title = std::string(name);
    params.geometry = rc.Normalized();
    params.popup = IsPopupWindow();
    if (CWindowWnd* owner = CWindowRegistry::Instance().WindowOf(parent)) params.owner = owner->GetSurface();
    surface_ = UiPlatform().CreateSurface(params, *this);
    if (HandleMessage(WM_CREATE, 0, 0) == -1) {
        CWindowRegistry::Instance().Remove(hwnd_);
        hwnd_ = 0;
        surface_.reset();
        return 0;
    }
    return hwnd_;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    if (!surface_) return;
    surface_->Show(show, takeFocus);
    HandleMessage(WM_SHOWWINDOW, show ? 1 : 0, 0);
}

bool CWindowWnd::IsWindowVisible() const { return surface_ && surface_->IsShown(); }

int CWindowWnd::ShowModal() {
    if (!hwnd_ || !surface_) return -1;
    auto state = std::make_shared<ModalState>();
    modal_ = state;
    const HWND owner = owner_;
    if (CWindowWnd* o = CWindowRegistry::Instance().WindowOf(owner); o && o->GetSurface()) o->GetSurface()->SetEnabled(false);
    surface_->SetModal(true);
    ShowWindow(true, true);
    CMessageQueue::Current().RunUntil([&state] { return state->done; });
    // This object may be gone by now (OnFinalMessage); only the shared state is used.
    if (CWindowWnd* o = CWindowRegistry::Instance().WindowOf(owner); o && o->GetSurface()) {
        o->GetSurface()->SetEnabled(true);
        o->GetSurface()->BringToFront();
    }
    return state->done ? state->code : -1;
}

void CWindowWnd::Close(int code) {
    if (hwnd_) PostMessage(WM_CLOSE, static_cast<WPARAM>(code), 0);
}

void CWindowWnd::CenterWindow() {
    if (!surface_) return;
    const UiRect rc = surface_->Geometry();
    UiRect area = UiPlatform().WorkArea();
    if (CWindowWnd* o = CWindowRegistry::Instance().WindowOf(owner_); o && o->GetSurface() && o->GetSurface()->IsShown()) {
        area = o->GetSurface()->Geometry();
    }
    const int x = area.left + (area.Width() - rc.Width()) / 2;
    const int y = area.top + (area.Height() - rc.Height()) / 2;
    surface_->SetGeometry({x, y, x + rc.Width(), y + rc.Height()});
}

void CWindowWnd::ResizeClient(int cx, int cy) {
    if (!surface_) return;
    const UiRect rc = surface_->Geometry();
    surface_->SetGeometry({rc.left, rc.top, rc.left + cx, rc.top + cy});
}

void CWindowWnd::SetWindowPos(const UiRect& screenRect) {
    if (surface_) surface_->SetGeometry(screenRect);
}

UiRect CWindowWnd::GetWindowRect() const { return surface_ ? surface_->Geometry() : UiRect{}; }

UiRect CWindowWnd::GetMonitorRect() const {
    const UiRect monitor = surface_ ? surface_->MonitorRect() : UiRect{};
    return monitor.IsEmpty() ? UiPlatform().WorkArea() : monitor;
}

bool CWindowWnd::IsOutside(UiPoint pt) const {
    const UiRect rc = GetWindowRect();
    return pt.x < 0 || pt.y < 0 || pt.x >= rc.Width() || pt.y >= rc.Height();
}

void CWindowWnd::DestroyWindow() {
    if (!hwnd_) return;
    const HWND hwnd = hwnd_;
    HandleMessage(WM_DESTROY, 0, 0);
    if (surface_) surface_->Show(false, false);
    surface_.reset();
    CWindowRegistry::Instance().Remove(hwnd);
    hwnd_ = 0;
    if (auto modal = std::move(modal_)) {
        modal->done = true;
        modal->code = closeCode_;
    }
    OnFinalMessage(hwnd);
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return q208::SendMessage(hwnd_, msg, wParam, lParam); }

bool CWindowWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return q208::PostMessage(hwnd_, msg, wParam, lParam); }

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM /*lParam*/) {
    if (msg == WM_CLOSE) {
        closeCode_ = static_cast<int>(wParam);
        DestroyWindow();
    }
    return 0;
}

void CWindowWnd::OnPointer(const PointerEvent& event) {
    const WPARAM keys = ModifierBits(event.modifiers) | event.buttonsDown;
    const LPARAM pos = MakeLParam(event.pos.x, event.pos.y);
    const bool left = event.button == PointerButton::Left;
    const bool right = event.button == PointerButton::Right;
    switch (event.action) {
    case PointerAction::Move:
        HandleMessage(WM_MOUSEMOVE, keys, pos);
        break;
    case PointerAction::Press:
        // A pop-up holds the pointer while it is open, so a press elsewhere arrives here.
        if (IsPopupWindow() && IsOutside(event.pos)) {
            OnPopupDismiss(PopupDismiss::OutsidePress, event.pos);
            return;
        }
        if (left) HandleMessage(WM_LBUTTONDOWN, keys | MK_LBUTTON, pos);
        if (right) HandleMessage(WM_RBUTTONDOWN, keys | MK_RBUTTON, pos);
        OnOtherButton(event, true, keys, pos);
        break;
    case PointerAction::Release:
        if (left) HandleMessage(WM_LBUTTONUP, keys, pos);
        if (right) HandleMessage(WM_RBUTTONUP, keys, pos);
        OnOtherButton(event, false, keys, pos);
        break;
    case PointerAction::DoubleClick:
        if (left) HandleMessage(WM_LBUTTONDBLCLK, keys | MK_LBUTTON, pos);
        if (right) HandleMessage(WM_RBUTTONDOWN, keys | MK_RBUTTON, pos);
        break;
    case PointerAction::Enter:
        HandleMessage(WM_MOUSEHOVER, keys, pos);
        break;
    case PointerAction::Leave:
        HandleMessage(WM_MOUSELEAVE, 0, 0);
        break;
    }
}

// The middle and side buttons: no control acts on them, the macro recorder hears them.
void CWindowWnd::OnOtherButton(const PointerEvent& event, bool down, WPARAM keys, LPARAM pos) {
    if (event.button == PointerButton::Middle) {
        HandleMessage(down ? WM_MBUTTONDOWN : WM_MBUTTONUP, keys, pos);
    } else if (event.button == PointerButton::Back || event.button == PointerButton::Forward) {
        const WPARAM which = event.button == PointerButton::Back ? XBUTTON1 : XBUTTON2;
        HandleMessage(down ? WM_XBUTTONDOWN : WM_XBUTTONUP, (which << 16) | (keys & 0xFFFF), pos);
    }
}

void CWindowWnd::OnWheel(const WheelEvent& event) {
    const WPARAM wParam = (static_cast<WPARAM>(static_cast<uint16_t>(event.delta)) << 16) | ModifierBits(event.modifiers);
    HandleMessage(WM_MOUSEWHEEL, wParam, MakeLParam(event.pos.x, event.pos.y));
}

void CWindowWnd::OnKey(const KeyEvent& event) {
    // Key messages carry the scan code in bits 16-23 and the extended flag in bit 24.
    const LPARAM mods = static_cast<LPARAM>(ModifierBits(event.modifiers) | ((event.scanCode & 0xFF) << 16) |
                                            (event.extended ? (1u << 24) : 0u));
    if (event.action == KeyAction::Up) {
        HandleMessage(WM_KEYUP, event.virtualKey, mods);
        return;
    }
    if (IsPopupWindow() && event.virtualKey == VK_ESCAPE) {
        OnPopupDismiss(PopupDismiss::Escape, {});
        return;
    }
    const HWND self = hwnd_;
    HandleMessage(WM_KEYDOWN, event.virtualKey, mods);
    for (uint32_t cp : utf8::Decode(event.text)) {
        if (cp < 0x20 || cp == 0x7F) continue;  // control keys arrive as WM_KEYDOWN only
        if (!IsWindow(self)) return;            // the key closed the window
        HandleMessage(WM_CHAR, cp, mods);
    }
}

void CWindowWnd::OnFocusChanged(bool focused) {
    const HWND self = hwnd_;
    HandleMessage(WM_ACTIVATE, focused ? WA_ACTIVE : WA_INACTIVE, 0);
    if (!IsWindow(self)) return;
    HandleMessage(focused ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
    if (!focused && IsPopupWindow() && IsWindow(self)) OnPopupDismiss(PopupDismiss::FocusLost, {});
}

void CWindowWnd::OnDisplayChanged() { HandleMessage(WM_DISPLAYCHANGE, 0, 0); }

void CWindowWnd::OnDpiChanged(int dpi, const UiRect& suggested) {
    const UiRect rect = suggested;
    HandleMessage(WM_DPICHANGED, (static_cast<WPARAM>(dpi & 0xFFFF) << 16) | static_cast<WPARAM>(dpi & 0xFFFF),
                  reinterpret_cast<LPARAM>(&rect));
}

void CWindowWnd::OnResized(int width, int height) { HandleMessage(WM_SIZE, 0, MakeLParam(width, height)); }

void CWindowWnd::OnMinimizedChanged(bool minimized) {
    const UiRect client = GetSurface() ? GetSurface()->Geometry() : UiRect{};
    HandleMessage(WM_SIZE, minimized ? SIZE_MINIMIZED : SIZE_RESTORED, MakeLParam(client.Width(), client.Height()));
}

void CWindowWnd::OnMoved(int x, int y) { HandleMessage(WM_MOVE, 0, MakeLParam(x, y)); }

void CWindowWnd::OnCloseRequested() { HandleMessage(WM_CLOSE, IDCANCEL, 0); }

void CWindowWnd::OnPaint(IRenderTarget& target, const UiRect& dirty) {
    ++surfacePaints_;
    surfacePaintedPixels_ += static_cast<uint64_t>(std::max(0, dirty.Width())) * static_cast<uint64_t>(std::max(0, dirty.Height()));
    OnPaintSurface(target, dirty);
}

void CWindowWnd::OnTextEdited(const std::string& text, bool committed) {
    HandleMessage(WM_UI_TEXTEDITED, committed ? 1 : 0, reinterpret_cast<LPARAM>(&text));
}

}  // namespace q208
