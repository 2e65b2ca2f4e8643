#pragma once

#include <filesystem>
#include <memory>

#include "app/CSkinFrame.h"
#include "app/SkinSettings.h"
#include "ui/UiTypes.h"
#include "update/CUpdatePanel.h"

namespace q208 {

class CSetWnd;

// The main window's child windows: the settings window and the skin frame. Each opens at
// the main window's DPI; the skin frame opens beside the button that asked for it. A child
// whose window was closed counts as not open.
class ChildWindows {
public:
    ChildWindows(HWND mainWindow, std::filesystem::path userDataFolder, std::filesystem::path defaultDataFolder);
    ~ChildWindows();
    ChildWindows(const ChildWindows&) = delete;
    ChildWindows& operator=(const ChildWindows&) = delete;

    void SetMainWindow(HWND mainWindow) { main_ = mainWindow; }
    // How the skin frame asks for a picture of the user's own (empty: the system's dialog).
    void SetFileChooser(CSkinFrame::FileChooser chooser) { chooser_ = std::move(chooser); }

    CSetWnd* Settings() const;
    CSkinFrame* SkinFrame() const;
    // `update`: what the settings window's update check asks about, and where.
    void OpenSettings(int appliedLanguage, int dpi, CUpdatePanel::Context update = {});
    // `anchor`: the opening button in screen coordinates.
    void OpenSkinFrame(const UiRect& anchor, int dpi);
    void CloseAll();
    // The open children take a new DPI of the main window, sizes included.
    void FollowDpi(int dpi);

private:
    HWND main_;
    std::filesystem::path userDataFolder_;
    std::filesystem::path defaultDataFolder_;
    CSkinFrame::FileChooser chooser_;
    std::unique_ptr<CSetWnd> settings_;
    std::unique_ptr<CSkinFrame> skinFrame_;
};

}  // namespace q208
