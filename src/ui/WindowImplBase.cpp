#include "ui/WindowImplBase.h"

#include "platform/Trace.h"
#include "ui/CControlUI.h"

namespace q208 {

WindowImplBase::~WindowImplBase() {
    m_pm.RemoveNotifier(this);
    m_pm.RemovePreMessageFilter(this);
}

LRESULT WindowImplBase::MessageHandler(UINT, WPARAM, LPARAM, bool& bHandled) {
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& bHandled) {
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool& bHandled) {
    bHandled = true;
    m_pm.Init(this, GetWindowClassName());
    m_pm.AddPreMessageFilter(this);
    CDialogBuilder builder;
    const std::string skin = GetSkinFolder().empty() ? GetSkinFile() : GetSkinFolder() + "/" + GetSkinFile();
    auto root = builder.Create(skin, this, &m_pm);
    diagnostics_ = builder.Diagnostics();
    if (!root) {
        Trace("window %s: cannot build its layout %s", GetWindowClassName().c_str(), skin.c_str());
        return -1;
    }
    CControlUI* rootControl = root.get();
    m_pm.AttachDialog(std::move(root));
    // The layout's size applies when the creator left the size open.
    if (IWindowSurface* surface = GetSurface()) {
        UiRect rc = surface->Geometry();
        const UiSize init = m_pm.GetInitSize();
        if (rc.IsEmpty() && init.cx > 0 && init.cy > 0) {
            surface->SetGeometry({rc.left, rc.top, rc.left + m_pm.ScaleValue(init.cx), rc.top + m_pm.ScaleValue(init.cy)});
            rc = surface->Geometry();
        }
        m_pm.SetClientSize(rc.Width(), rc.Height());
    }
    m_pm.AddNotifier(this);
    InitWindow();
    m_pm.SendNotify(rootControl, DUI_MSGTYPE_WINDOWINIT, 0, 0, true);
    return 0;
}

void WindowImplBase::FitToDpi(int dpi) {
    m_pm.SetDPI(dpi);
    const UiSize init = m_pm.GetInitSize();
    if (init.cx > 0 && init.cy > 0) ResizeClient(m_pm.ScaleValue(init.cx), m_pm.ScaleValue(init.cy));
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& bHandled) {
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& bHandled) {
    bHandled = false;
    return 0;
}

void WindowImplBase::OnPaintSurface(IRenderTarget& target, const UiRect& dirty) { m_pm.Paint(target, dirty); }

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (uMsg != WM_CREATE && m_pm.PreMessageHandler(uMsg, wParam, lParam, result)) return result;
    bool handled = false;
    switch (uMsg) {
    case WM_CREATE:
        result = OnCreate(uMsg, wParam, lParam, handled);
        break;
    case WM_CLOSE:
        result = OnClose(uMsg, wParam, lParam, handled);
        break;
    case WM_DESTROY:
        result = OnDestroy(uMsg, wParam, lParam, handled);
        break;
    default:
        break;
    }
    if (handled) return result;
    result = HandleCustomMessage(uMsg, wParam, lParam, handled);
    if (handled) return result;
    // A press on our own title bar lets the desktop move the window.
    if (uMsg == WM_LBUTTONDOWN && m_pm.IsCaptionPoint({LowSigned(lParam), HighSigned(lParam)})) {
        if (IWindowSurface* surface = GetSurface()) {
            surface->BeginMove();
            return 0;
        }
    }
    if (m_pm.MessageHandler(uMsg, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

}  // namespace q208
