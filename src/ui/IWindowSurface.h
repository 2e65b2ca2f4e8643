#pragma once

#include <string>

#include "ui/IRenderTarget.h"
#include "ui/UiInput.h"
#include "ui/UiTypes.h"

namespace q208 {

class CPaintManagerUI;

// The receiving side of a native window: the backend calls these on the UI thread (the
// thread that created the surface) for everything the user or the desktop does to it.
// CWindowWnd implements it and turns each call into a window message.
class IWindowEventSink {
public:
    virtual ~IWindowEventSink() = default;

    virtual void OnPointer(const PointerEvent& event) = 0;
    virtual void OnWheel(const WheelEvent& event) = 0;
    // A key press; when it produces characters, `text` carries them (no separate char event).
    virtual void OnKey(const KeyEvent& event) = 0;
    virtual void OnFocusChanged(bool focused) = 0;
    // The client area got a new size (also once after the surface was first shown).
    virtual void OnResized(int width, int height) = 0;
    // The window was minimised or came back from it (its size is unchanged).
    virtual void OnMinimizedChanged(bool /*minimized*/) {}
    virtual void OnMoved(int x, int y) = 0;
    // The user asked to close the window (title bar, window manager). The window decides;
    // the backend never destroys the surface by itself.
    virtual void OnCloseRequested() = 0;
    // Paint `dirty` (client coordinates) through `target`; called from the backend's paint
    // handler, with `target` valid only during the call.
    virtual void OnPaint(IRenderTarget& target, const UiRect& dirty) = 0;
    // The native text field opened by BeginTextEdit changed (committed: Enter pressed).
    virtual void OnTextEdited(const std::string& text, bool committed) = 0;
    // A screen was added, removed or changed its size.
    virtual void OnDisplayChanged() = 0;
    // The window went to a monitor of another DPI; `suggested` keeps its size in the new
    // monitor's pixels (screen coordinates).
    virtual void OnDpiChanged(int dpi, const UiRect& suggested) = 0;
    // The manager of the window's controls, which accessibility clients are shown; null
    // for a window without one.
    virtual CPaintManagerUI* GetAccessManager() { return nullptr; }
};

// How a surface is created.
struct SurfaceParams {
    std::string className;   // window class name, also names the window's message endpoint
    std::string title;
    UiRect geometry;         // screen coordinates of the client area
    class IWindowSurface* owner = nullptr;  // transient parent (dialogs, pop-ups); may be null
    bool popup = false;      // frameless pop-up (menus, drop-downs)
};

// A native top-level window, frameless: the window layer draws everything inside it.
// Created by IUiPlatform::CreateSurface on the UI thread and used only there. Destroying
// the object destroys the native window without calling the sink.
class IWindowSurface {
public:
    virtual ~IWindowSurface() = default;

    virtual void Show(bool show, bool activate) = 0;
    virtual bool IsShown() const = 0;
    // Screen coordinates of the client area; the backend reports the result through
    // OnMoved/OnResized when it differs from the current geometry.
    virtual void SetGeometry(const UiRect& screenRect) = 0;
    virtual UiRect Geometry() const = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // A disabled window receives no user input (the owner of a modal dialog).
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool IsEnabled() const = 0;
    // Window-modal presentation relative to the owner given at creation.
    virtual void SetModal(bool modal) = 0;
    virtual void BringToFront() = 0;
    // Schedules OnPaint for `clientRect` (coalesced by the backend).
    virtual void Invalidate(const UiRect& clientRect) = 0;
    // Keeps pointer events coming to this window while a button is held outside it.
    virtual void CapturePointer(bool capture) = 0;
    virtual void SetToolTip(const std::string& text) = 0;
    // Places a native single-line text field over an edit control; its changes come back
    // through IWindowEventSink::OnTextEdited. EndTextEdit removes it. The headless backend
    // only records the request: typed keys then reach the edit control as key events.
    virtual void BeginTextEdit(const TextEditRequest& request) = 0;
    virtual void EndTextEdit() = 0;
    // Minimised to the task bar, maximised, and back; a surface without a desktop only
    // remembers it.
    virtual void Minimize() { minimized_ = true; }
    virtual void Maximize() { maximized_ = true; }
    virtual void Restore() { minimized_ = maximized_ = false; }
    virtual bool IsMinimized() const { return minimized_; }
    virtual bool IsMaximized() const { return maximized_; }
    // The whole monitor the window is on (screen coordinates); empty when the surface does
    // not know, and the platform's work area stands for it.
    virtual UiRect MonitorRect() const { return {}; }
    // Lets the desktop move the window with the pointer held down (dragging our title bar).
    virtual void BeginMove() {}
    // Every key goes to this window while grabbed, whichever of its fields has the focus and
    // whatever other program would get it (the input hook's capture and recording).
    virtual void GrabKeyboard(bool grab) { keyboardGrabbed_ = grab; }
    virtual bool IsKeyboardGrabbed() const { return keyboardGrabbed_; }

private:
    bool minimized_ = false;
    bool maximized_ = false;
    bool keyboardGrabbed_ = false;
};

}  // namespace q208
