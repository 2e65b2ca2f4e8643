#include "ui/CPaintManagerUI.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "ui/CContainerUI.h"
#include "ui/CControlUI.h"
#include "ui/CMessageQueue.h"
#include "ui/CEditUI.h"
#include "ui/COptionUI.h"
#include "ui/Utf8.h"
#include "ui/CWindowWnd.h"
#include "ui/IUiPlatform.h"
#include "ui/UiMessaging.h"

namespace q208 {

int CPaintManagerUI::resourceType_ = 1;

namespace {

struct SharedState {
    std::mutex mutex;
    std::string instancePath;
    std::string resourcePath;
    std::map<int, FontDesc> sharedFonts;
    FontDesc sharedDefaultFont;
    bool hasSharedDefault = false;
    std::vector<CPaintManagerUI*> managers;  // every live manager, for DPI and text changes
};

SharedState& Shared() {
    static SharedState state;
    return state;
}

constexpr int kDefaultFontSize = 12;
// The frame around the control Tab moved to: visible on the skin's dark and light parts.
constexpr ARGB kFocusFrameColor = 0xFF4DA3FF;

UiPoint PointOf(LPARAM lParam) { return {LowSigned(lParam), HighSigned(lParam)}; }

// The wheel message carries the distance in the high word of wParam; controls get it
// as a signed value in TEventUI::wParam.
WPARAM WheelDelta(WPARAM wParam) {
    return static_cast<WPARAM>(static_cast<intptr_t>(HighSigned(static_cast<LPARAM>(wParam))));
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() {
    auto& shared = Shared();
    std::lock_guard lock(shared.mutex);
    shared.managers.push_back(this);
}

CPaintManagerUI::~CPaintManagerUI() {
    // The tree goes first: its controls reap themselves from the tables below.
    root_.reset();
    if (IAccessObserver* observer = std::exchange(accessObserver_, nullptr)) observer->OnAccessDetached();
    CMessageQueue::Current().Timers().KillManager(this);
    auto& shared = Shared();
    std::lock_guard lock(shared.mutex);
    std::erase(shared.managers, this);
}

void CPaintManagerUI::Init(CWindowWnd* window, std::string name) {
    window_ = window;
    name_ = std::move(name);
    dpi_ = UiPlatform().SystemDpi();
}

HWND CPaintManagerUI::GetPaintWindow() const { return window_ ? window_->GetHWND() : 0; }

void CPaintManagerUI::SetInstancePath(std::string path) {
    std::lock_guard lock(Shared().mutex);
    Shared().instancePath = std::move(path);
}

const std::string& CPaintManagerUI::GetInstancePath() { return Shared().instancePath; }

void CPaintManagerUI::SetResourcePath(std::string path) {
    if (!path.empty() && path.back() != '/') path.push_back('/');
    std::lock_guard lock(Shared().mutex);
    Shared().resourcePath = std::move(path);
}

const std::string& CPaintManagerUI::GetResourcePath() { return Shared().resourcePath; }

std::string CPaintManagerUI::ResolveResource(std::string_view name) {
    std::string file(name);
    // Layouts written for the other platform use backslashes between folders.
    std::replace(file.begin(), file.end(), '\\', '/');
    if (file.empty() || file.front() == '/') return file;
    return GetResourcePath() + file;
}

bool CPaintManagerUI::AttachDialog(std::unique_ptr<CControlUI> root) {
    if (!root) return false;
    SetFocus(nullptr);
    hover_ = click_ = nullptr;
    popup_ = nullptr;
    root_.reset();
    root_ = std::move(root);
    InitControls(root_.get(), nullptr);
    NeedUpdate();
    return true;
}

bool CPaintManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
    if (!control) return false;
    control->SetManager(this, parent ? parent : control->GetParent(), false);
    RegisterNames(control);
    return true;
}

void CPaintManagerUI::RegisterNames(CControlUI* control) {
    control->FindControl(
        [this](CControlUI* c) -> CControlUI* {
            if (!c->GetName().empty()) names_.try_emplace(c->GetName(), c);
            if (auto* option = static_cast<COptionUI*>(c->GetInterface("Option"))) {
                if (!option->GetGroup().empty()) AddOptionGroup(option->GetGroup(), c);
            }
            return nullptr;
        },
        UIFIND_ALL);
}

void CPaintManagerUI::ReapObjects(CControlUI* control) {
    if (!control) return;
    NotifyAccess(control, AccessEvent::Destroyed);
    if (focus_ == control) focus_ = nullptr;
    if (hover_ == control) hover_ = nullptr;
    if (click_ == control) click_ = nullptr;
    if (popup_ == control) popup_ = nullptr;
    if (!control->GetName().empty()) {
        auto it = names_.find(control->GetName());
        if (it != names_.end() && it->second == control) names_.erase(it);
    }
    for (auto& [group, members] : optionGroups_) std::erase(members, control);
    CMessageQueue::Current().Timers().KillControl(this, control);
    std::erase_if(asyncNotifications_, [control](const TNotifyUI& n) { return n.pSender == control; });
}

void CPaintManagerUI::RenameControl(CControlUI* control, const std::string& oldName, const std::string& newName) {
    if (!oldName.empty()) {
        auto it = names_.find(oldName);
        if (it != names_.end() && it->second == control) names_.erase(it);
    }
    if (!newName.empty()) names_.try_emplace(newName, control);
}

CControlUI* CPaintManagerUI::FindControl(std::string_view name) const {
    auto it = names_.find(std::string(name));
    return it == names_.end() ? nullptr : it->second;
}

CControlUI* CPaintManagerUI::FindControl(UiPoint pt) const {
    if (!root_) return nullptr;
    return FindSubControlByPoint(root_.get(), pt);
}

CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, std::string_view name) const {
    if (!parent) return nullptr;
    return parent->FindControl([name](CControlUI* c) { return c->GetName() == name ? c : nullptr; }, UIFIND_ALL);
}

CControlUI* CPaintManagerUI::FindSubControlByPoint(CControlUI* parent, UiPoint pt) const {
    if (!parent) return nullptr;
    return parent->FindControl([pt](CControlUI* c) { return c->GetPos().Contains(pt) ? c : nullptr; },
                               UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

std::vector<CControlUI*> CPaintManagerUI::FindSubControlsByClass(CControlUI* parent, std::string_view className) const {
    std::vector<CControlUI*> found;
    if (!parent) return found;
    parent->FindControl(
        [&](CControlUI* c) -> CControlUI* {
            if (c->GetInterface(className)) found.push_back(c);
            return nullptr;
        },
        UIFIND_ALL);
    return found;
}

TEventUI CPaintManagerUI::MakeEvent(int type, CControlUI* sender, UiPoint pt, WPARAM wParam, LPARAM lParam) const {
    TEventUI event;
    event.Type = type;
    event.pSender = sender;
    event.dwTimestamp = UiPlatform().NowMs();
    event.ptMouse = pt;
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
    if (control == focus_) return;
    if (CControlUI* old = focus_) {
        auto alive = old->Lifetime();
        focus_ = nullptr;
        TEventUI event = MakeEvent(UIEVENT_KILLFOCUS, control, lastMouse_);
        old->Event(event);
        if (!alive.expired()) SendNotify(old, DUI_MSGTYPE_KILLFOCUS);
    }
    // A killfocus handler may have moved the focus or removed `control`: the caller's
    // pointer is only trusted when it is still part of this window.
    if (!control || focus_) return;
    if (!control->IsVisible() || !control->IsEnabled() || control->GetManager() != this) return;
    focus_ = control;
    TEventUI event = MakeEvent(UIEVENT_SETFOCUS, control, lastMouse_);
    auto alive = control->Lifetime();
    control->Event(event);
    if (!alive.expired()) SendNotify(control, DUI_MSGTYPE_SETFOCUS);
}

void CPaintManagerUI::SetPopup(CControlUI* control) { popup_ = control; }

std::vector<CControlUI*> CPaintManagerUI::TabStops() const {
    std::vector<CControlUI*> stops;
    if (!root_) return stops;
    // Hidden and disabled containers hide and disable what they hold.
    root_->FindControl(
        [&stops](CControlUI* c) -> CControlUI* {
            if (c->IsTabStop() && c->IsKeyboardEnabled() && c->IsShownInTree()) stops.push_back(c);
            return nullptr;
        },
        UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST);
    return stops;
}

void CPaintManagerUI::InvalidateFocusFrame() {
    if (!focus_) return;
    const int grow = ScaleValue(2);
    Invalidate(focus_->GetPos().Deflate({-grow, -grow, -grow, -grow}));
}

bool CPaintManagerUI::SetNextTabControl(bool forward) {
    DoLayout();
    const std::vector<CControlUI*> stops = TabStops();
    if (stops.empty()) return false;
    const auto at = std::find(stops.begin(), stops.end(), focus_);
    size_t next = 0;
    if (at == stops.end()) {
        next = forward ? 0 : stops.size() - 1;
    } else {
        const size_t index = static_cast<size_t>(at - stops.begin());
        next = forward ? (index + 1) % stops.size() : (index + stops.size() - 1) % stops.size();
    }
    InvalidateFocusFrame();
    SetFocus(stops[next]);
    focusFrame_ = true;
    InvalidateFocusFrame();
    // A tab stop inside a scrolling container comes into view.
    if (focus_) {
        for (CControlUI* p = focus_->GetParent(); p; p = p->GetParent()) {
            auto* container = static_cast<CContainerUI*>(p->GetInterface("Container"));
            if (container && container->GetVerticalScrollBar()) {
                container->ScrollIntoView(focus_->GetPos());
                break;
            }
        }
    }
    return true;
}

void CPaintManagerUI::UseParentResource(CPaintManagerUI* parent) {
    parent_ = parent == this ? nullptr : parent;
    parentLife_ = parent_ ? parent_->Lifetime() : std::weak_ptr<int>();
    NeedUpdate();
}

bool CPaintManagerUI::AddOptionGroup(const std::string& group, CControlUI* control) {
    auto& members = optionGroups_[group];
    if (std::find(members.begin(), members.end(), control) != members.end()) return false;
    members.push_back(control);
    return true;
}

const std::vector<CControlUI*>* CPaintManagerUI::GetOptionGroup(const std::string& group) const {
    auto it = optionGroups_.find(group);
    return it == optionGroups_.end() ? nullptr : &it->second;
}

void CPaintManagerUI::RemoveOptionGroup(const std::string& group, CControlUI* control) {
    auto it = optionGroups_.find(group);
    if (it == optionGroups_.end()) return;
    std::erase(it->second, control);
    if (it->second.empty()) optionGroups_.erase(it);
}

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT id, UINT elapseMs) {
    if (!control) return false;
    CMessageQueue::Current().Timers().Set(this, control, id, elapseMs, UiPlatform().NowMs());
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT id) {
    return CMessageQueue::Current().Timers().Kill(this, control, id);
}

void CPaintManagerUI::KillTimer(CControlUI* control) { CMessageQueue::Current().Timers().KillControl(this, control); }

void CPaintManagerUI::RemoveAllTimers() { CMessageQueue::Current().Timers().KillManager(this); }

bool CPaintManagerUI::HasTimer(const CControlUI* control, UINT id) const {
    return CMessageQueue::Current().Timers().Has(this, control, id);
}

void CPaintManagerUI::FireTimer(CControlUI* control, UINT id) {
    TEventUI event = MakeEvent(UIEVENT_TIMER, control, lastMouse_, id);
    control->Event(event);
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
    if (!notifier || std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end()) return false;
    notifiers_.push_back(notifier);
    return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
    const auto before = notifiers_.size();
    std::erase(notifiers_, notifier);
    return notifiers_.size() != before;
}

void CPaintManagerUI::NotifyAccessOf(const TNotifyUI& msg) {
    static constexpr std::pair<std::string_view, AccessEvent> kEvents[] = {
        {DUI_MSGTYPE_SETFOCUS, AccessEvent::Focus},
        {DUI_MSGTYPE_VALUECHANGED, AccessEvent::ValueChanged},
        {DUI_MSGTYPE_MOVEVALUECHANGED, AccessEvent::ValueChanged},
        {DUI_MSGTYPE_ITEMSELECT, AccessEvent::ValueChanged},
        {DUI_MSGTYPE_SELECTCHANGED, AccessEvent::StateChanged},
        {DUI_MSGTYPE_TEXTCHANGED, AccessEvent::TextChanged},
        {DUI_MSGTYPE_TABSELECT, AccessEvent::TreeChanged},
    };
    for (const auto& [type, event] : kEvents) {
        if (msg.sType == type) {
            NotifyAccess(msg.pSender, event);
            return;
        }
    }
}

void CPaintManagerUI::DeliverNotify(TNotifyUI& msg) {
    if (accessObserver_ && msg.pSender) NotifyAccessOf(msg);
    std::weak_ptr<int> alive;
    if (msg.pSender) {
        alive = msg.pSender->Lifetime();
        const auto listeners = msg.pSender->NotifyListeners();  // a listener may add another
        for (const auto& listener : listeners) {
            listener(msg);
            if (alive.expired()) {
                msg.pSender = nullptr;  // the sender is gone; notifiers still learn of it
                break;
            }
        }
    }
    const auto notifiers = notifiers_;
    for (INotifyUI* notifier : notifiers) {
        // A notifier removed by an earlier one is skipped.
        if (std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end()) continue;
        // A notifier that destroyed the sender leaves the later ones a null sender.
        if (msg.pSender && alive.expired()) msg.pSender = nullptr;
        notifier->Notify(msg);
    }
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg, bool async) {
    msg.ptMouse = lastMouse_;
    msg.dwTimestamp = UiPlatform().NowMs();
    if (!async) {
        DeliverNotify(msg);
        return;
    }
    asyncNotifications_.push_back(msg);
    if (asyncFlushPosted_) return;
    asyncFlushPosted_ = true;
    std::weak_ptr<int> alive = lifetime_;
    CMessageQueue::Current().PostTask([this, alive] {
        if (!alive.expired()) FlushAsyncNotifications();
    });
}

void CPaintManagerUI::FlushAsyncNotifications() {
    asyncFlushPosted_ = false;
    auto pending = std::move(asyncNotifications_);
    asyncNotifications_.clear();
    auto alive = Lifetime();
    for (size_t i = 0; i < pending.size() && !alive.expired(); ++i) {
        DeliverNotify(pending[i]);
        // A handler may have destroyed later senders: ReapObjects only cleans the queue
        // that is still in the member, so check the remaining ones by hand.
        for (size_t j = i + 1; j < pending.size(); ++j) {
            if (pending[j].pSender && pending[j].pSender->GetManager() != this) pending[j].pSender = nullptr;
        }
    }
}

void CPaintManagerUI::SendNotify(CControlUI* control, std::string_view type, WPARAM wParam, LPARAM lParam, bool async) {
    TNotifyUI msg;
    msg.sType = std::string(type);
    msg.pSender = control;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, async);
}

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
    if (!filter || std::find(preFilters_.begin(), preFilters_.end(), filter) != preFilters_.end()) return false;
    preFilters_.push_back(filter);
    return true;
}

bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
    const auto before = preFilters_.size();
    std::erase(preFilters_, filter);
    return before != preFilters_.size();
}

bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) {
    if (!filter || std::find(filters_.begin(), filters_.end(), filter) != filters_.end()) return false;
    filters_.push_back(filter);
    return true;
}

bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) {
    const auto before = filters_.size();
    std::erase(filters_, filter);
    return before != filters_.size();
}

bool CPaintManagerUI::PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const auto filters = preFilters_;
    for (IMessageFilterUI* filter : filters) {
        bool handled = false;
        const LRESULT r = filter->MessageHandler(msg, wParam, lParam, handled);
        if (handled) {
            result = r;
            return true;
        }
    }
    return false;
}

bool CPaintManagerUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const auto filters = filters_;
    for (IMessageFilterUI* filter : filters) {
        bool handled = false;
        const LRESULT r = filter->MessageHandler(msg, wParam, lParam, handled);
        if (handled) {
            result = r;
            return true;
        }
    }
    result = 0;
    switch (msg) {
    case WM_SIZE:
        SetClientSize(LowSigned(lParam), HighSigned(lParam));
        if (root_) SendNotify(root_.get(), DUI_MSGTYPE_WINDOWSIZE);
        return true;
    case WM_SETFOCUS:
        return true;
    case WM_KILLFOCUS:
        if (click_) click_ = nullptr;
        return true;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_MOUSELEAVE:
        return DispatchPointer(msg, wParam, lParam);
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        return DispatchKey(msg, wParam, lParam);
    case WM_UI_TEXTEDITED:
        // Delivered synchronously by the window: lParam points at the field's whole text.
        if (focus_ && lParam) {
            if (auto* edit = static_cast<CEditUI*>(focus_->GetInterface("Edit"))) {
                auto alive = edit->Lifetime();
                edit->ApplyEditedText(*reinterpret_cast<const std::string*>(lParam));
                if (wParam && !alive.expired()) {
                    TEventUI enter = MakeEvent(UIEVENT_KEYDOWN, edit, lastMouse_);
                    enter.chKey = VK_RETURN;
                    edit->Event(enter);
                }
            }
        }
        return true;
    default:
        return false;
    }
}

void CPaintManagerUI::SetHover(CControlUI* control, UiPoint pt) {
    if (control == hover_) return;
    if (CControlUI* old = hover_) {
        hover_ = nullptr;
        TEventUI leave = MakeEvent(UIEVENT_MOUSELEAVE, old, pt);
        old->Event(leave);
    }
    // The leave handler may have destroyed `control` (it is then no longer in the tree).
    if (control && control->GetManager() == this && FindControl(pt) == control) {
        hover_ = control;
        TEventUI enter = MakeEvent(UIEVENT_MOUSEENTER, control, pt);
        control->Event(enter);
    }
    UpdateToolTip();
}

void CPaintManagerUI::UpdateToolTip() {
    if (!window_ || !window_->GetSurface()) return;
    window_->GetSurface()->SetToolTip(hover_ ? hover_->GetToolTip() : std::string());
}

bool CPaintManagerUI::DispatchPointer(UINT msg, WPARAM wParam, LPARAM lParam) {
    DoLayout();  // hit testing needs current positions
    const UiPoint pt = msg == WM_MOUSELEAVE ? lastMouse_ : PointOf(lParam);
    lastMouse_ = pt;
    const UINT keyState = static_cast<UINT>(wParam & 0xFFFF);

    // An open drop-down takes the pointer first; a press outside it only closes it.
    if (popup_ && msg != WM_MOUSELEAVE) {
        const bool inside = popup_->GetPopupRect().Contains(pt);
        if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
            if (!inside && !popup_->GetPos().Contains(pt)) {
                popup_->ClosePopup();
                return true;
            }
            if (inside) {
                click_ = popup_;
                TEventUI down = MakeEvent(UIEVENT_BUTTONDOWN, popup_, pt, wParam, lParam);
                down.wKeyState = keyState;
                popup_->Event(down);
                return true;
            }
        } else if (msg == WM_MOUSEMOVE && !click_ && inside) {
            TEventUI move = MakeEvent(UIEVENT_MOUSEMOVE, popup_, pt, wParam, lParam);
            popup_->Event(move);
            return true;
        } else if (msg == WM_MOUSEWHEEL && inside) {
            TEventUI wheel = MakeEvent(UIEVENT_SCROLLWHEEL, popup_, pt, WheelDelta(wParam), lParam);
            popup_->Event(wheel);
            return true;
        }
    }

    switch (msg) {
    case WM_MOUSELEAVE:
        SetHover(nullptr, pt);
        return true;
    case WM_MOUSEMOVE: {
        if (CControlUI* captured = click_) {
            TEventUI move = MakeEvent(UIEVENT_MOUSEMOVE, captured, pt, wParam, lParam);
            move.wKeyState = keyState;
            captured->Event(move);
            return true;
        }
        CControlUI* hit = FindControl(pt);
        SetHover(hit, pt);
        if (hover_) {
            TEventUI move = MakeEvent(UIEVENT_MOUSEMOVE, hover_, pt, wParam, lParam);
            move.wKeyState = keyState;
            hover_->Event(move);
        }
        return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (focusFrame_) {
            InvalidateFocusFrame();
            focusFrame_ = false;
        }
        CControlUI* hit = FindControl(pt);
        if (!hit || hit->GetManager() != this) return true;
        auto alive = hit->Lifetime();
        SetHover(hit, pt);
        if (alive.expired()) return true;
        hit->SetFocus();  // may run killfocus handlers of another control
        if (alive.expired()) return true;
        click_ = hit;
        if (window_ && window_->GetSurface()) window_->GetSurface()->CapturePointer(true);
        TEventUI down = MakeEvent(msg == WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN : UIEVENT_DBLCLICK, hit, pt, wParam, lParam);
        down.wKeyState = keyState;
        hit->Event(down);
        return true;
    }
    case WM_LBUTTONUP: {
        if (window_ && window_->GetSurface()) window_->GetSurface()->CapturePointer(false);
        CControlUI* target = click_;
        // Cleared before the control sees the release: its handler may open a modal window
        // whose own loop must not find a stale pressed control here.
        click_ = nullptr;
        if (!target) return true;
        TEventUI up = MakeEvent(UIEVENT_BUTTONUP, target, pt, wParam, lParam);
        up.wKeyState = keyState;
        target->Event(up);
        return true;
    }
    case WM_RBUTTONDOWN: {
        CControlUI* hit = FindControl(pt);
        if (!hit) return true;
        auto alive = hit->Lifetime();
        hit->SetFocus();
        if (alive.expired()) return true;
        TEventUI down = MakeEvent(UIEVENT_RBUTTONDOWN, hit, pt, wParam, lParam);
        down.wKeyState = keyState;
        hit->Event(down);
        return true;
    }
    case WM_RBUTTONUP: {
        CControlUI* hit = FindControl(pt);
        if (!hit) return true;
        TEventUI menu = MakeEvent(UIEVENT_CONTEXTMENU, hit, pt, 0, MakeLParam(pt.x, pt.y));
        hit->Event(menu);
        return true;
    }
    case WM_MOUSEWHEEL: {
        CControlUI* hit = FindControl(pt);
        if (!hit) return true;
        TEventUI wheel = MakeEvent(UIEVENT_SCROLLWHEEL, hit, pt, WheelDelta(wParam), lParam);
        wheel.wKeyState = keyState;
        hit->Event(wheel);
        return true;
    }
    default:
        return false;
    }
}

bool CPaintManagerUI::DispatchKey(UINT msg, WPARAM wParam, LPARAM lParam) {
    CControlUI* target = focus_;
    const UINT mods = static_cast<UINT>(lParam) & 0xFFFF;
    if (msg == WM_KEYDOWN && wParam == VK_TAB && !(mods & (MK_CONTROL | MK_ALT)) && !(target && target->IsWantTab())) {
        return SetNextTabControl(!(mods & MK_SHIFT));
    }
    if (!target) return false;
    TEventUI event = MakeEvent(msg == WM_KEYDOWN ? UIEVENT_KEYDOWN : msg == WM_KEYUP ? UIEVENT_KEYUP : UIEVENT_CHAR,
                               target, lastMouse_, wParam, lParam);
    event.chKey = static_cast<uint32_t>(wParam);
    event.wKeyState = static_cast<UINT>(lParam) & 0xFFFF;  // modifier bits (above: scan code)
    if (msg == WM_CHAR) event.text = utf8::Encode(static_cast<uint32_t>(wParam));
    target->Event(event);
    return true;
}

void CPaintManagerUI::AddDefaultAttributeList(std::string_view controlName, std::string_view list) {
    defaults_[std::string(controlName)] = std::string(list);
}

std::string_view CPaintManagerUI::GetDefaultAttributeList(std::string_view controlName) const {
    auto it = defaults_.find(std::string(controlName));
    if (it != defaults_.end()) return it->second;
    if (const CPaintManagerUI* parent = GetParentResource()) return parent->GetDefaultAttributeList(controlName);
    return {};
}

void CPaintManagerUI::AddFont(int id, std::string face, int size, bool bold, bool underline, bool italic, bool shared) {
    FontDesc font{std::move(face), size, bold, underline, italic};
    if (shared) {
        std::lock_guard lock(Shared().mutex);
        Shared().sharedFonts[id] = std::move(font);
    } else {
        fonts_[id] = std::move(font);
    }
    NeedUpdate();
}

void CPaintManagerUI::SetDefaultFont(std::string face, int size, bool bold, bool underline, bool italic, bool shared) {
    FontDesc font{std::move(face), size, bold, underline, italic};
    if (shared) {
        std::lock_guard lock(Shared().mutex);
        Shared().sharedDefaultFont = std::move(font);
        Shared().hasSharedDefault = true;
    } else {
        defaultFont_ = std::move(font);
        hasDefaultFont_ = true;
    }
    NeedUpdate();
}

void CPaintManagerUI::RemoveAllFonts(bool shared) {
    if (shared) {
        RemoveAllSharedFonts();
    }
    fonts_.clear();
    hasDefaultFont_ = false;
    NeedUpdate();
}

void CPaintManagerUI::RemoveAllSharedFonts() {
    std::lock_guard lock(Shared().mutex);
    Shared().sharedFonts.clear();
    Shared().hasSharedDefault = false;
}

const FontDesc* CPaintManagerUI::OwnFont(int id) const {
    for (const CPaintManagerUI* m = this; m; m = m->GetParentResource()) {
        auto it = m->fonts_.find(id);
        if (it != m->fonts_.end()) return &it->second;
    }
    return nullptr;
}

bool CPaintManagerUI::HasFont(int id) const {
    if (OwnFont(id)) return true;
    std::lock_guard lock(Shared().mutex);
    return Shared().sharedFonts.count(id) != 0;
}

FontDesc CPaintManagerUI::GetDefaultFontInfo() const {
    FontDesc font;
    const CPaintManagerUI* parent = GetParentResource();
    if (hasDefaultFont_) {
        font = defaultFont_;
    } else if (parent && parent->hasDefaultFont_) {
        font = parent->defaultFont_;
    } else {
        std::lock_guard lock(Shared().mutex);
        if (Shared().hasSharedDefault) {
            font = Shared().sharedDefaultFont;
        } else {
            font.size = kDefaultFontSize;
        }
    }
    font.size = ScaleValue(font.size);
    return font;
}

FontDesc CPaintManagerUI::GetFont(int id) const {
    if (id >= 0) {
        if (const FontDesc* own = OwnFont(id)) {
            FontDesc font = *own;
            font.size = ScaleValue(font.size);
            return font;
        }
        std::lock_guard lock(Shared().mutex);
        auto shared = Shared().sharedFonts.find(id);
        if (shared != Shared().sharedFonts.end()) {
            FontDesc font = shared->second;
            font.size = ScaleValue(font.size);
            return font;
        }
    }
    return GetDefaultFontInfo();
}

void CPaintManagerUI::SetDPI(int dpi) {
    if (dpi <= 0 || dpi == dpi_) return;
    dpi_ = dpi;
    ResetDPIAssets();
}

void CPaintManagerUI::SetAllDPI(int dpi) {
    std::vector<CPaintManagerUI*> managers;
    {
        std::lock_guard lock(Shared().mutex);
        managers = Shared().managers;
    }
    // Managers belong to their UI thread: only those of the calling thread are changed.
    for (CPaintManagerUI* m : managers) {
        if (m->thread_ == std::this_thread::get_id()) m->SetDPI(dpi);
    }
}

void CPaintManagerUI::ResetDPIAssets() {
    NeedUpdate();
    if (root_) Invalidate(root_->GetPos());
}

int CPaintManagerUI::ScaleValue(int value) const {
    if (dpi_ == 96) return value;
    return static_cast<int>((static_cast<int64_t>(value) * dpi_ + (value >= 0 ? 48 : -48)) / 96);
}

bool CPaintManagerUI::IsCaptionPoint(UiPoint pt) const {
    if (caption_.bottom <= 0) return false;
    const UiRect area{ScaleValue(caption_.left), ScaleValue(caption_.top), clientSize_.cx - ScaleValue(caption_.right),
                      ScaleValue(caption_.bottom)};
    if (!area.Contains(pt)) return false;
    CControlUI* control = FindControl(pt);
    if (!control) return true;
    static constexpr const char* kClickable[] = {"Button", "Option", "Edit", "Combo", "Slider", "List", "ScrollBar"};
    for (const char* name : kClickable) {
        if (control->GetInterface(name)) return false;
    }
    return true;
}

void CPaintManagerUI::SetClientSize(int cx, int cy) {
    if (clientSize_.cx == cx && clientSize_.cy == cy) return;
    clientSize_ = {cx, cy};
    NeedUpdate();
}

void CPaintManagerUI::NeedUpdate() {
    updateNeeded_ = true;
    if (window_ && window_->GetSurface()) window_->GetSurface()->Invalidate({0, 0, clientSize_.cx, clientSize_.cy});
}

void CPaintManagerUI::DoLayout() {
    if (!updateNeeded_ || !root_) return;
    UiRect client{0, 0, clientSize_.cx, clientSize_.cy};
    if (client.IsEmpty()) {
        const UiSize init{ScaleValue(initSize_.cx), ScaleValue(initSize_.cy)};
        client = {0, 0, init.cx, init.cy};
    }
    root_->SetPos(client, false);
    // Requests raised while laying out (scroll bars appearing) are already satisfied.
    updateNeeded_ = false;
    if (popup_) popup_->SetPos(popup_->GetPos(), false);
}

void CPaintManagerUI::Invalidate(const UiRect& rc) {
    dirty_ = dirty_.Union(rc);
    if (window_ && window_->GetSurface()) window_->GetSurface()->Invalidate(rc);
}

void CPaintManagerUI::Paint(IRenderTarget& target, const UiRect& dirty) {
    DoLayout();
    dirty_ = {};
    if (!root_) return;
    root_->DoPaint(target, dirty);
    if (popup_) popup_->PaintPopup(target);
    if (IsFocusFrameShown() && focus_->IsShownInTree()) {
        const int grow = ScaleValue(1);
        target.DrawBorder(focus_->GetPos().Deflate({-grow, -grow, -grow, -grow}), ScaleValue(1), 0, kFocusFrameColor);
    }
}

int CPaintManagerUI::MessageLoop() {
    auto& queue = CMessageQueue::Current();
    queue.RunUntil(nullptr);
    return queue.ConsumeQuit();
}

void CPaintManagerUI::PumpMessages() { CMessageQueue::Current().ProcessPending(); }

void CPaintManagerUI::ReloadAllText() {
    std::vector<CPaintManagerUI*> managers;
    {
        std::lock_guard lock(Shared().mutex);
        managers = Shared().managers;
    }
    for (CPaintManagerUI* m : managers) {
        if (m->thread_ != std::this_thread::get_id() || !m->root_) continue;
        m->NeedUpdate();
        m->Invalidate(m->root_->GetPos());
    }
}

}  // namespace q208
