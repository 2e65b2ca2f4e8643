#pragma once

#include "app/IMainWndShell.h"
#include "ui/qt/CTrayIcon.h"

namespace q208 {

// The desktop's tray icon and menu for the main window.
class QtMainWndShell : public IMainWndShell {
public:
    static constexpr const char* kMenuLayout = "menu.xml";

    void CreateTray(HWND window, const std::string& toolTip) override;
    void DeleteTray() override;
    void OpenTrayMenu(HWND owner) override;
    std::optional<ARGB> ChooseColour(HWND owner, ARGB initial) override;
    void HideToTray(CWindowWnd& window) override;

private:
    CTrayIcon tray_;
    HWND menu_ = 0;
};

}  // namespace q208
