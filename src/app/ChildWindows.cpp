#include "app/ChildWindows.h"

#include "app/CSetWnd.h"
#include "platform/Trace.h"
#include "ui/IUiPlatform.h"
#include "ui/PopupPlacement.h"
#include "ui/UiMessaging.h"

namespace q208 {

ChildWindows::ChildWindows(HWND mainWindow, std::filesystem::path userDataFolder,
                           std::filesystem::path defaultDataFolder)
    : main_(mainWindow), userDataFolder_(std::move(userDataFolder)), defaultDataFolder_(std::move(defaultDataFolder)) {}

ChildWindows::~ChildWindows() { CloseAll(); }

CSetWnd* ChildWindows::Settings() const {
    return settings_ && IsWindow(settings_->GetHWND()) ? settings_.get() : nullptr;
}

CSkinFrame* ChildWindows::SkinFrame() const {
    return skinFrame_ && IsWindow(skinFrame_->GetHWND()) ? skinFrame_.get() : nullptr;
}

void ChildWindows::OpenSettings(int appliedLanguage, int dpi, CUpdatePanel::Context update) {
    if (CSetWnd* open = Settings()) {
        open->ShowWindow(true, true);
        return;
    }
    settings_ = std::make_unique<CSetWnd>(main_, appliedLanguage, defaultDataFolder_, std::move(update));
    if (!settings_->Create(main_, "setwnd")) {
        Trace("main window: the settings window could not be created\n");
        settings_.reset();
        return;
    }
    settings_->FitToDpi(dpi);
    settings_->CenterWindow();
    settings_->ShowWindow(true, true);
}

void ChildWindows::OpenSkinFrame(const UiRect& anchor, int dpi) {
    if (CSkinFrame* open = SkinFrame()) {
        open->ShowWindow(true, true);
        return;
    }
    skinFrame_ = std::make_unique<CSkinFrame>(SkinSettings(userDataFolder_), chooser_);
    if (!skinFrame_->Create(main_, "skin")) {
        Trace("main window: the skin frame could not be created\n");
        skinFrame_.reset();
        return;
    }
    skinFrame_->FitToDpi(dpi);
    const UiRect rc = skinFrame_->GetWindowRect();
    skinFrame_->SetWindowPos(PlaceBeside(anchor, {rc.Width(), rc.Height()}, UiPlatform().WorkArea()));
    skinFrame_->ShowWindow(true, true);
}

void ChildWindows::FollowDpi(int dpi) {
    if (CSetWnd* open = Settings()) open->FitToDpi(dpi);
    if (CSkinFrame* open = SkinFrame()) open->FitToDpi(dpi);
}

void ChildWindows::CloseAll() {
    if (CSetWnd* open = Settings()) open->DestroyWindow();
    if (CSkinFrame* open = SkinFrame()) open->DestroyWindow();
}

}  // namespace q208
