#include "app/ShootPanels.h"

#include "app/CMsgWnd.h"
#include "devices/mouse/CVantorixMouseDevice.h"
#include "editors/CShootControlUI.h"
#include "ui/qt/FileDialogs.h"

namespace q208 {

CShootControlUI* ShootPanelOf(CControlUI* page) {
    if (!page) return nullptr;
    CControlUI* found = page->FindControl(
        [](CControlUI* c) { return c->GetInterface(CShootControlUI::kClassName) ? c : nullptr; }, UIFIND_ALL);
    return found ? static_cast<CShootControlUI*>(found->GetInterface(CShootControlUI::kClassName)) : nullptr;
}

void StartShootPanel(CVantorixMouseDevice& mouse, HWND owner, std::function<int()> dpi) {
    CShootControlUI* panel = ShootPanelOf(&mouse);
    if (!panel) return;
    panel->SetFolders(mouse.ShootWorkFolder(), CVantorixMouseDevice::ShootFactoryFolder());
    CShootControlUI::Dialogs dialogs;
    dialogs.chooseImport = [owner] { return ShowOpenFileDialog(owner, {}, CShootControlUI::kFileFilter); };
    dialogs.chooseExport = [owner] { return ShowSaveFileDialog(owner, {}, CShootControlUI::kFileFilter); };
    dialogs.inform = [owner, dpi = std::move(dpi)](const std::string& key, const std::string&) {
        ShowMessageBox(owner, {}, key, dpi(), true, kMessageBoxOk);
    };
    panel->SetDialogs(std::move(dialogs));
    panel->Startup();
}

}  // namespace q208
