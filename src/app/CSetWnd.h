#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "ui/WindowImplBase.h"
#include "update/CUpdatePanel.h"

namespace q208 {

// The settings window. Its language list offers the languages of Language.config; a
// choice goes to the owner (the main window) as WM_LANGUAGE_SELECT, and the owner's
// WM_LANGUAGE_SELECT back tells the window to show its texts again. Its update area (see
// CUpdatePanel) checks the program and the attached devices' firmware as the window opens.
class CSetWnd : public WindowImplBase {
public:
    static constexpr const char* kClassName = "SetWnd";
    static constexpr const char* kSkinFile = "XML/setwnd.xml";
    static constexpr const char* kLanguageList = "Language_combox_info";
    // Selected while the user's autostart entry starts the program at log-in.
    static constexpr const char* kAutostartOption = "autostart_option";

    // `appliedLanguage`: the index the owner has applied (-1: none); `defaultDataFolder`
    // holds Language.config.
    // `update`: the targets and the service of the update check (none: nothing is asked).
    CSetWnd(HWND owner, int appliedLanguage, std::filesystem::path defaultDataFolder,
            CUpdatePanel::Context update = {});
    ~CSetWnd() override;

    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

    int SelectedLanguage() const { return selectedLanguage_; }
    int LanguageCount() const;
    // Null before the window is built.
    CUpdatePanel* UpdatePanel() const { return update_.get(); }

protected:
    std::string GetWindowClassName() const override { return kClassName; }
    std::string GetSkinFile() override { return kSkinFile; }
    // Refused while an update is under way; otherwise the check thread is stopped first.
    LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    // After the owner applied a language: what the window shows besides its layout texts
    // (the update status) is refreshed here.
    virtual void OnLanguageApplied() {}

private:
    void FillLanguageList();
    void ShowAutostart();
    void OnAutostartChanged(bool start);

    HWND owner_;
    int selectedLanguage_;
    std::filesystem::path defaultDataFolder_;
    CUpdatePanel::Context updateContext_;
    std::unique_ptr<CUpdatePanel> update_;
};

}  // namespace q208
