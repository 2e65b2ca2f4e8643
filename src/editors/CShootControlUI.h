#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "devices/mouse/ShootFile.h"
#include "ui/CVerticalLayoutUI.h"

namespace q208 {

class CVantorixUSBDevice;
struct TNotifyUI;

// The fire-key editor of the mouse page: four gun slots of 30 bullets, each bullet a left
// click followed by a horizontal and a vertical pointer correction and a pause. Each gun is
// a file of the mouse's user folder (ShootFile), rewritten as the user edits; the save
// button sends all four to the mouse as the shoot block.
//
// UI thread only.
class CShootControlUI : public CVerticalLayoutUI {
public:
    static constexpr const char* kClassName = "ShootControl";
    static constexpr const char* kSubLayoutName = "ShootKeySetControlUI";
    static constexpr const char* kLayoutFile = "XML/CustomControlXML/ShootKeySetControl.xml";
    static constexpr const char* kFileFilter = "Shoot Files(*.shoot)";

    // What the editor needs of the window around it; the main window's dialogs by default.
    struct Dialogs {
        std::function<std::optional<std::string>()> chooseImport;
        std::function<std::optional<std::string>()> chooseExport;
        // A language key, and the details behind it for the trace.
        std::function<void(const std::string& key, const std::string& detail)> inform;
    };

    std::string GetClass() const override { return kClassName; }
    void* GetInterface(std::string_view name) override;

    void SetFolders(std::filesystem::path work, std::filesystem::path factory);
    void SetDialogs(Dialogs dialogs) { dialogs_ = std::move(dialogs); }
    // Looks the controls up, creates missing or empty gun files from the factory copies and
    // selects gun 0. False when a control is missing (the editor then does nothing).
    bool Startup();
    bool IsStarted() const { return started_; }

    void SelectGun(int gun);
    void SelectBullet(int bullet);
    // The edits and checks into the current bullet of the current gun's file.
    bool StoreBullet();
    // The current bullet of the current gun's file into the edits; false when the file is
    // refused (the edits are cleared and the file is left as it is).
    bool LoadBullet();
    bool Reset();
    bool Import(const std::filesystem::path& source);
    bool Export(const std::filesystem::path& target);

    // A notification of one of the editor's controls; `current` is the device shown now.
    // Import, export, reset and save act only when it is a mouse.
    bool OnNotify(TNotifyUI& msg, CVantorixUSBDevice* current);

    int CurrentGun() const { return currentGun_; }
    int CurrentBullet() const { return currentBullet_; }
    std::filesystem::path WorkFile(int gun) const { return ShootFile::PathOf(workFolder_, gun); }
    std::filesystem::path FactoryFile(int gun) const { return ShootFile::PathOf(factoryFolder_, gun); }

private:
    CControlUI* Part(std::string_view name) const;
    bool IsChecked(std::string_view name) const;
    void SetChecked(std::string_view name, bool checked);
    int EditValue(std::string_view name) const;
    void SelectOnly(std::string_view prefix, int count, int selected);
    void ShowDirections();
    void Inform(const std::string& key, const std::string& detail) const;
    bool Save(CVantorixUSBDevice& device);

    std::filesystem::path workFolder_;
    std::filesystem::path factoryFolder_;
    Dialogs dialogs_;
    int currentGun_ = 0;
    int currentBullet_ = -1;
    bool started_ = false;
    bool loading_ = false;
};

}  // namespace q208
