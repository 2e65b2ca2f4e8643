#include "app/CSetWnd.h"

#include <memory>
#include <utility>

#include "app/LanguageSettings.h"
#include "app/RegisteredMessages.h"
#include "app/ShellMessages.h"
#include "platform/AutostartEntry.h"
#include "platform/Paths.h"
#include "platform/Trace.h"
#include "ui/CComboUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/COptionUI.h"
#include "ui/UiMessaging.h"

namespace q208 {

CSetWnd::CSetWnd(HWND owner, int appliedLanguage, std::filesystem::path defaultDataFolder,
                 CUpdatePanel::Context update)
    : owner_(owner),
      selectedLanguage_(appliedLanguage),
      defaultDataFolder_(std::move(defaultDataFolder)),
      updateContext_(std::move(update)) {}

CSetWnd::~CSetWnd() {
    if (update_) update_->Stop();
}

void CSetWnd::InitWindow() {
    FillLanguageList();
    ShowAutostart();
    update_ = std::make_unique<CUpdatePanel>(m_pm, *this, owner_, std::move(updateContext_));
    update_->Start();
}

LRESULT CSetWnd::OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
    if (update_ && !update_->CanClose()) {
        Trace("settings window: an update is under way; the window stays\n");
        bHandled = true;
        return 0;
    }
    if (update_) update_->Stop();
    return WindowImplBase::OnClose(uMsg, wParam, lParam, bHandled);
}

LRESULT CSetWnd::OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
    if (update_) update_->Stop();
    return WindowImplBase::OnDestroy(uMsg, wParam, lParam, bHandled);
}

void CSetWnd::ShowAutostart() {
    if (auto* option = dynamic_cast<COptionUI*>(m_pm.FindControl(kAutostartOption))) {
        option->Selected(AutostartEntry::IsEnabled(), false);
    }
}

// The entry starts the executable that is running now, wherever it was installed.
void CSetWnd::OnAutostartChanged(bool start) {
    const bool done = start ? AutostartEntry::Enable(ExecutablePath()) : AutostartEntry::Disable();
    if (!done) ShowAutostart();  // what the desktop will really do
}

void CSetWnd::FillLanguageList() {
    auto* list = dynamic_cast<CComboUI*>(m_pm.FindControl(kLanguageList));
    if (!list) {
        Trace("settings window: no %s", kLanguageList);
        return;
    }
    list->RemoveAll();
    const auto entries = LanguageSettings::ReadLanguageConfig(defaultDataFolder_ / LanguageSettings::kConfigFileName);
    for (const LanguageEntry& entry : entries) {
        auto item = std::make_unique<CListLabelElementUI>();
        item->SetResourceText(true);
        item->SetText(entry.text);
        list->Add(std::move(item));
    }
    if (selectedLanguage_ >= 0 && selectedLanguage_ < static_cast<int>(entries.size())) {
        list->SelectItem(selectedLanguage_, false, false);
    }
}

int CSetWnd::LanguageCount() const {
    auto* list = dynamic_cast<CComboUI*>(m_pm.FindControl(kLanguageList));
    return list ? list->GetCount() : 0;
}

void CSetWnd::Notify(TNotifyUI& msg) {
    if (update_ && update_->OnNotify(msg)) {
        WindowImplBase::Notify(msg);
        return;
    }
    if (msg.pSender && msg.pSender->GetName() == kLanguageList && msg.sType == DUI_MSGTYPE_ITEMSELECT) {
        auto* list = static_cast<CComboUI*>(msg.pSender);
        if (list->GetCurSel() >= 0) {
            selectedLanguage_ = list->GetCurSel();
            q208::SendMessage(owner_, WM_LANGUAGE_SELECT, static_cast<WPARAM>(selectedLanguage_), 0);
        }
    } else if (msg.pSender && msg.sType == DUI_MSGTYPE_SELECTCHANGED && msg.pSender->GetName() == kAutostartOption) {
        OnAutostartChanged(static_cast<COptionUI*>(msg.pSender)->IsSelected());
    } else if (msg.pSender && msg.sType == DUI_MSGTYPE_CLICK && msg.pSender->GetName() == "closebtn") {
        Close(IDCANCEL);
        return;
    }
    WindowImplBase::Notify(msg);
}

LRESULT CSetWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
    if (uMsg == WM_LANGUAGE_SELECT) {
        m_pm.NeedUpdate();
        if (CControlUI* root = m_pm.GetRoot()) root->Invalidate();
        if (update_) update_->RefreshTexts();
        OnLanguageApplied();
        bHandled = true;
        return 0;
    }
    if (update_ && update_->OnMessage(uMsg)) {
        bHandled = true;
        return 0;
    }
    if (uMsg == RegisteredMessages::Companion(0)) {
        // The update progress of an updater program, forwarded by the main window.
        if (update_) update_->OnProgress(wParam, lParam);
        bHandled = true;
        return 0;
    }
    return WindowImplBase::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
}

}  // namespace q208
