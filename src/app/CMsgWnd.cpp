#include "app/CMsgWnd.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/Trace.h"
#include "ui/CControlUI.h"

namespace q208 {

namespace {

// Pop-up without a frame, clipping its children; a tool window with no task-bar entry.
constexpr UINT kMsgWndStyle = 0x82000000;
constexpr UINT kMsgWndExStyle = 0x80;

constexpr std::array<int, 7> kSupportedDpis{48, 72, 96, 120, 144, 168, 192};

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::mutex& HookMutex() {
    static std::mutex mutex;
    return mutex;
}

CMsgWnd::ShownHook& Hook() {
    static CMsgWnd::ShownHook hook;
    return hook;
}

}  // namespace

bool IsSupportedWindowDpi(int dpi) {
    return std::find(kSupportedDpis.begin(), kSupportedDpis.end(), dpi) != kSupportedDpis.end();
}

CMsgWnd::ShownHook CMsgWnd::SetShownHook(ShownHook hook) {
    std::lock_guard lock(HookMutex());
    return std::exchange(Hook(), std::move(hook));
}

void CMsgWnd::InitWindow() { closeButton_ = m_pm.FindControl("closebtn"); }

void CMsgWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_WINDOWINIT) {
        ShownHook hook;
        {
            std::lock_guard lock(HookMutex());
            hook = Hook();
        }
        if (hook) hook(*this);
    } else if (msg.sType == DUI_MSGTYPE_CLICK && msg.pSender) {
        const std::string& name = msg.pSender->GetName();
        if (EqualNoCase(name, "closebtn") || EqualNoCase(name, "cancel_btn")) {
            Close(0);
            return;
        }
        if (EqualNoCase(name, "confirm_btn")) {
            Close(1);
            return;
        }
    }
    WindowImplBase::Notify(msg);
}

LRESULT CMsgWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
    if (uMsg == WM_DPICHANGED) {
        m_pm.SetDPI(static_cast<int>(wParam & 0xFFFF));
        m_pm.ResetDPIAssets();
        if (const auto* suggested = reinterpret_cast<const UiRect*>(lParam)) SetWindowPos(*suggested);
        m_pm.NeedUpdate();
        bHandled = true;
        return 0;
    }
    return WindowImplBase::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
}

void CMsgWnd::SetTitle(const std::string& title) {
    if (title.empty()) return;
    if (CControlUI* label = m_pm.FindControl("MessageTitle")) label->SetText(title);
}

void CMsgWnd::SetMessageText(const std::string& text, bool isResource) {
    if (text.empty()) return;
    CControlUI* label = m_pm.FindControl("MessageText");
    if (!label) return;
    label->SetResourceText(isResource);
    label->SetText(text);
}

void CMsgWnd::SetDPI(int dpi) {
    if (!IsSupportedWindowDpi(dpi)) {
        Trace("MSG_WND DPI SET ERROR");
        dpi = 96;
    }
    if (dpi == dpi_) return;
    dpi_ = dpi;
    CPaintManagerUI::SetAllDPI(dpi);
    FitToDpi(dpi);
}

void CMsgWnd::SetButtons(int buttons) {
    CControlUI* confirm = m_pm.FindControl("confirm_btn");
    CControlUI* cancel = m_pm.FindControl("cancel_btn");
    if (buttons == kMessageBoxOk) {
        if (confirm) confirm->SetVisible(true);
        if (cancel) cancel->SetVisible(false);
    } else if (buttons == kMessageBoxOkCancel) {
        if (confirm) confirm->SetVisible(true);
        if (cancel) cancel->SetVisible(true);
    }
}

int ShowMessageBox(HWND parent, const std::string& title, const std::string& text, int dpi, bool textIsResource,
                   int buttons) {
    // The box lives exactly as long as its modal loop; nothing refers to it afterwards.
    auto box = std::make_unique<CMsgWnd>();
    if (box->Create(parent, "msgwnd", kMsgWndStyle, kMsgWndExStyle) == 0) {
        Trace("message box could not be created");
        return 0;
    }
    box->SetTitle(title);
    box->SetMessageText(text, textIsResource);
    box->SetDPI(dpi);
    box->SetButtons(buttons);
    box->CenterWindow();
    return box->ShowModal() == 1 ? 1 : 0;
}

}  // namespace q208
