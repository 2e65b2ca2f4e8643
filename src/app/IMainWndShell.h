#pragma once

#include <optional>
#include <string>

#include "ui/CControlUI.h"
#include "ui/CWindowWnd.h"
#include "ui/IUiPlatform.h"

namespace q208 {

// What the main window needs from the desktop around it: the tray icon and the tray menu.
// The program uses the desktop's; tests use this do-nothing one.
class IMainWndShell {
public:
    virtual ~IMainWndShell() = default;
    virtual void CreateTray(HWND /*window*/, const std::string& /*toolTip*/) {}
    virtual void DeleteTray() {}
    // Opens the tray menu for `owner` at the pointer (closing one still open).
    virtual void OpenTrayMenu(HWND /*owner*/) {}
    // The system colour dialog starting at `initial`; none when cancelled or without a desktop.
    virtual std::optional<ARGB> ChooseColour(HWND /*owner*/, ARGB /*initial*/) { return std::nullopt; }
    virtual void HideToTray(CWindowWnd& window) { window.ShowWindow(false, false); }
};

}  // namespace q208
