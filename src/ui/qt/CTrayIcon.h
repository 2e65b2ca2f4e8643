#pragma once

#include <memory>
#include <string>

#include "ui/UiTypes.h"

class QSystemTrayIcon;

namespace q208 {

class CWindowWnd;

// The program's icon in the desktop's notification area. Clicks are posted to the
// receiving window as the tray message: wParam 0, lParam the pointer message
// (WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK).
class CTrayIcon {
public:
    static constexpr UINT kTrayMessage = 1025;

    CTrayIcon();
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // `iconFile` empty or unreadable: a flat icon drawn in the accent colour.
    bool CreateTrayIcon(HWND receiver, const std::string& iconFile, const std::string& toolTip,
                        UINT message = kTrayMessage);
    void DeleteTrayIcon();
    void SetToolTipText(const std::string& text);
    std::string GetToolTipText() const;
    bool IsCreated() const { return icon_ != nullptr; }
    // Posts the message a click of `lParam` (WM_LBUTTONUP, ...) gives; also used by tests.
    void OnActivated(LPARAM pointerMessage);

    static bool IsTrayAvailable();
    // Hides `window` into the tray, or minimises it where the desktop has no tray.
    static void HideToTray(CWindowWnd& window);

private:
    std::unique_ptr<QSystemTrayIcon> icon_;
    HWND receiver_ = 0;
    UINT message_ = kTrayMessage;
};

}  // namespace q208
