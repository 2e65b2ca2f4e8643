#pragma once

#include <string>

#include "ui/WindowImplBase.h"

namespace q208 {

// Any skin layout in a real window, for skin authors: buttons, options, edits and combos
// work as in the program; "closebtn" (or the window manager) closes it and ends the loop.
class CPreviewWnd : public WindowImplBase {
public:
    explicit CPreviewWnd(std::string layout);

    std::string GetWindowClassName() const override { return "PreviewWnd"; }
    void Notify(TNotifyUI& msg) override;

protected:
    std::string GetSkinFile() override { return layout_; }
    void OnFinalMessage(HWND hwnd) override;

private:
    std::string layout_;
};

// Opens the layout, runs until it is closed; the exit code of the program.
int RunPreview(const std::string& layout, const std::string& languageFile, const std::string& skinFolder);

}  // namespace q208
