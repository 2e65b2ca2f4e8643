#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ui/IWindowSurface.h"
#include "ui/UiDefs.h"
#include "ui/UiTypes.h"

namespace q208 {

// A top-level window of the UI thread that creates it: a handle other threads can post
// and send messages to, and a native surface from the platform. Input and paint requests
// of the surface arrive as window messages in HandleMessage (pointer: lParam = position,
// wParam = MK_* bits; keys: wParam = VK_*, then one WM_CHAR per typed code point).
class CWindowWnd : public IWindowEventSink {
public:
    CWindowWnd();
    ~CWindowWnd() override;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetHWND() const { return hwnd_; }
    // The window given as parent at creation (0: none).
    HWND GetOwnerHWND() const { return owner_; }
    bool IsPopup() const { return IsPopupWindow(); }
    IWindowSurface* GetSurface() const { return surface_.get(); }
    // How often the surface asked for a paint, and the pixels of all those dirty areas:
    // what a busy or an idle window costs, seen from outside.
    uint64_t SurfacePaints() const { return surfacePaints_; }
    uint64_t SurfacePaintedPixels() const { return surfacePaintedPixels_; }

    // Creates the surface (hidden) and handles WM_CREATE; 0 when WM_CREATE returned -1.
    // Position and size in screen coordinates; a size of 0 lets the window choose it.
    HWND Create(HWND parent, std::string_view name, UINT style = 0, UINT exStyle = 0, int x = 0, int y = 0,
                int cx = 0, int cy = 0);
    HWND Create(HWND parent, std::string_view name, UINT style, UINT exStyle, const UiRect& rc);
    void ShowWindow(bool show = true, bool takeFocus = true);
    bool IsWindowVisible() const;
    // Shows the window modal to its parent and runs the message loop until it is
    // destroyed; returns the code given to Close (-1 if it could not run or the thread's
    // loop was asked to quit meanwhile).
    int ShowModal();
    // Posts WM_CLOSE with `code`; by default the window is then destroyed.
    void Close(int code = IDOK);
    void CenterWindow();
    void SetIcon(int /*resourceId*/) {}
    void ResizeClient(int cx, int cy);
    void SetWindowPos(const UiRect& screenRect);
    UiRect GetWindowRect() const;
    // The whole monitor the window is on, or the work area where the surface cannot tell.
    UiRect GetMonitorRect() const;
    // Destroys the surface now: WM_DESTROY, then OnFinalMessage (which may delete this).
    void DestroyWindow();

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    bool PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    // IWindowEventSink: the backend's calls become messages.
    void OnPointer(const PointerEvent& event) override;
    void OnOtherButton(const PointerEvent& event, bool down, WPARAM keys, LPARAM pos);
    void OnWheel(const WheelEvent& event) override;
    void OnKey(const KeyEvent& event) override;
    void OnFocusChanged(bool focused) override;
    void OnResized(int width, int height) override;
    void OnMinimizedChanged(bool minimized) override;
    void OnMoved(int x, int y) override;
    // Closing from the window manager is a WM_CLOSE with IDCANCEL.
    void OnCloseRequested() override;
    void OnPaint(IRenderTarget& target, const UiRect& dirty) override;
    void OnTextEdited(const std::string& text, bool committed) override;
    void OnDisplayChanged() override;
    void OnDpiChanged(int dpi, const UiRect& suggested) override;

protected:
    virtual std::string GetWindowClassName() const = 0;
    // A frameless pop-up (menus, the skin frame): closes with IDCANCEL on a press outside
    // it, on Escape and when it loses the focus.
    virtual bool IsPopupWindow() const { return false; }
    enum class PopupDismiss { OutsidePress, Escape, FocusLost };
    // What a pop-up does when it is dismissed; `clientPoint` is the press outside it (client
    // coordinates). By default it closes with IDCANCEL; a menu with an open sub-menu stays.
    virtual void OnPopupDismiss(PopupDismiss /*why*/, UiPoint /*clientPoint*/) { Close(IDCANCEL); }
    // The last call for a destroyed window; the object is not touched afterwards.
    virtual void OnFinalMessage(HWND /*hwnd*/) {}
    virtual void OnPaintSurface(IRenderTarget& /*target*/, const UiRect& /*dirty*/) {}

private:
    bool IsOutside(UiPoint clientPoint) const;

    struct ModalState {
        bool done = false;
        int code = -1;
    };

    HWND hwnd_ = 0;
    HWND owner_ = 0;
    std::unique_ptr<IWindowSurface> surface_;
    uint64_t surfacePaints_ = 0;
    uint64_t surfacePaintedPixels_ = 0;
    int closeCode_ = IDOK;
    std::shared_ptr<ModalState> modal_;
};

}  // namespace q208
