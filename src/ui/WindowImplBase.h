#pragma once

#include <memory>
#include <string>

#include "ui/CControlUI.h"
#include "ui/CDialogBuilder.h"
#include "ui/CNotifyPump.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CWindowWnd.h"
#include "ui/UiNotify.h"

namespace q208 {

// A window built from a layout. On creation it builds GetSkinFolder() + GetSkinFile() (a
// layout name or file), sizes itself to the layout's <Window size>, calls InitWindow, and
// then "windowinit" arrives from the message loop. Notifications go to Notify, which by
// default dispatches through the notify pump (On/OnPrefix handlers). Messages go to the
// pre-filters, then WM_CREATE/WM_CLOSE/WM_DESTROY handlers, then HandleCustomMessage,
// then the paint manager (input, focus, size), then the default handling.
class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
public:
    WindowImplBase() = default;
    ~WindowImplBase() override;

    CPaintManagerUI& GetPaintManager() { return m_pm; }
    CPaintManagerUI* GetAccessManager() override { return &m_pm; }

    virtual void InitWindow() {}
    void Notify(TNotifyUI& msg) override { NotifyPump(msg); }
    std::unique_ptr<CControlUI> CreateControl(std::string_view /*className*/) override { return nullptr; }
    // Pre-filter of this window (runs before everything else); not handled by default.
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    virtual LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);

    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

    // Takes `dpi` and resizes the window to its layout's size at that DPI (child windows
    // follow the DPI of the window they belong to).
    void FitToDpi(int dpi);

    // Problems found while building the skin.
    const std::vector<std::string>& SkinDiagnostics() const { return diagnostics_; }

protected:
    virtual std::string GetSkinFolder() { return {}; }
    virtual std::string GetSkinFile() = 0;

    virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    // Not handled by default: the window is then destroyed.
    virtual LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    void OnPaintSurface(IRenderTarget& target, const UiRect& dirty) override;

    CPaintManagerUI m_pm;

private:
    std::vector<std::string> diagnostics_;
};

}  // namespace q208
