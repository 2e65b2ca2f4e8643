#include "app/QtMainWndShell.h"

#include "ui/qt/FileDialogs.h"

#include "ui/UiDefs.h"
#include "ui/UiMessaging.h"
#include "ui/qt/CMenuWnd.h"

namespace q208 {

namespace {
// The menu opens near the corner where desktops keep the tray; Popup keeps it on screen.
constexpr int kMenuMargin = 8;
}  // namespace

void QtMainWndShell::CreateTray(HWND window, const std::string& toolTip) { tray_.CreateTrayIcon(window, "", toolTip); }

void QtMainWndShell::DeleteTray() { tray_.DeleteTrayIcon(); }

void QtMainWndShell::OpenTrayMenu(HWND owner) {
    if (menu_ && IsWindow(menu_)) PostMessage(menu_, WM_CLOSE, IDCANCEL, 0);
    const UiRect area = UiPlatform().WorkArea();
    menu_ = CMenuWnd::Popup(owner, kMenuLayout, {area.right - kMenuMargin, area.bottom - kMenuMargin});
}

void QtMainWndShell::HideToTray(CWindowWnd& window) { CTrayIcon::HideToTray(window); }

std::optional<ARGB> QtMainWndShell::ChooseColour(HWND owner, ARGB initial) { return ShowColorDialog(owner, initial); }

}  // namespace q208
