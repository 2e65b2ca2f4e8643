#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/SkinSettings.h"
#include "ui/WindowImplBase.h"

namespace q208 {

// The skin frame opened by the main window's "skinbtn": background pictures, plain
// colours, the default background and a picture of the user's own. Every choice goes to
// the SkinChangeSubject; pictures are remembered in main.ini, colours are not, and a
// picture that cannot be read is refused. It is a pop-up: it closes on a press outside
// it, on Escape and when it loses the focus.
class CSkinFrame : public WindowImplBase {
public:
    static constexpr const char* kClassName = "UISkinFrame";
    static constexpr const char* kSkinFile = "XML/skin.xml";
    static constexpr const char* kFileFilter = "(*.png) | *.png |(*.*)|*.*||";

    // Asks the user for a file: owner window and filter; nothing when cancelled.
    using FileChooser = std::function<std::optional<std::string>(HWND owner, const std::string& filter)>;

    // `chooser` empty: the system's file-open dialog.
    explicit CSkinFrame(SkinSettings settings, FileChooser chooser = {});

    void Notify(TNotifyUI& msg) override;

    // True when `path` is a readable PNG file.
    static bool IsPngFile(const std::string& path) { return SkinSettings::IsPngFile(path); }

protected:
    std::string GetWindowClassName() const override { return kClassName; }
    std::string GetSkinFile() override { return kSkinFile; }
    bool IsPopupWindow() const override { return true; }

private:
    static void ChooseImage(const SkinSettings& settings, const std::string& image, bool chosenImage);
    void ChooseColor(ARGB color);
    void ChooseCustomImage();
    void ShowPage(int page);

    SkinSettings settings_;
    FileChooser chooser_;
};

}  // namespace q208
