#include "app/QtMainWndShell.h"

#include "ui/IUiPlatform.h"
#include "ui/qt/FileDialogs.h"

#include "ui/UiDefs.h"
#include "ui/UiMessaging.h"
#include "ui/qt/CMenuWnd.h"

namespace q208 {

void QtMainWndShell::CreateTray(HWND window, const std::string& toolTip) { tray_.CreateTrayIcon(window, "", toolTip); }

void QtMainWndShell::DeleteTray() { tray_.DeleteTrayIcon(); }

void QtMainWndShell::OpenTrayMenu(HWND owner) {
    if (menu_ && IsWindow(menu_)) PostMessage(menu_, WM_CLOSE, IDCANCEL, 0);
    // At the pointer, which is on the tray icon just clicked; Popup keeps it on the screen.
    menu_ = CMenuWnd::Popup(owner, kMenuLayout, UiPlatform().CursorPos());
}

void QtMainWndShell::HideToTray(CWindowWnd& window) { CTrayIcon::HideToTray(window); }

std::optional<ARGB> QtMainWndShell::ChooseColour(HWND owner, ARGB initial) { return ShowColorDialog(owner, initial); }

}  // namespace q208
