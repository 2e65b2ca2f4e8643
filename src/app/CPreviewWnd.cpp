#include "app/CPreviewWnd.h"

#include <cstdio>
#include <filesystem>

#include "app/AppStartup.h"
#include "platform/Paths.h"
#include "ui/CControlUI.h"
#include "ui/CResourceManager.h"
#include "ui/UiMessaging.h"
#include "ui/IUiPlatform.h"
#include "ui/qt/CQtPlatform.h"
#include "ui/qt/SkinSetup.h"

namespace q208 {

CPreviewWnd::CPreviewWnd(std::string layout) : layout_(std::move(layout)) {}

void CPreviewWnd::Notify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_CLICK && msg.pSender && msg.pSender->GetName() == "closebtn") {
        Close(IDOK);
        return;
    }
    WindowImplBase::Notify(msg);
}

void CPreviewWnd::OnFinalMessage(HWND) { PostQuitMessage(0); }

int RunPreview(const std::string& layout, const std::string& languageFile, const std::string& skinFolder) {
    EnsureQtApplication();
    SetUiPlatform(std::make_shared<CQtPlatform>());
    LoadSkin(skinFolder.empty() ? FindDataRoot().skin : std::filesystem::path(skinFolder));
    RegisterProgramControls();
    if (!languageFile.empty() && !CResourceManager::GetInstance().LoadLanguage(std::filesystem::absolute(languageFile).string())) {
        std::fprintf(stderr, "q208: cannot read the language file %s\n", languageFile.c_str());
        return 1;
    }
    // A path on the command line is taken from the current folder, a layout name from the skin.
    std::error_code ec;
    const bool isFile = std::filesystem::is_regular_file(layout, ec);
    CPreviewWnd window(isFile ? std::filesystem::absolute(layout).string() : layout);
    if (!window.Create(0, layout, 0, 0, 0, 0, 0, 0)) {
        std::fprintf(stderr, "q208: the layout %s could not be shown\n", layout.c_str());
        return 1;
    }
    for (const std::string& problem : window.SkinDiagnostics()) std::fprintf(stderr, "q208: %s\n", problem.c_str());
    window.CenterWindow();
    window.ShowWindow(true);
    return CPaintManagerUI::MessageLoop();
}

}  // namespace q208
