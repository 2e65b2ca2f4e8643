#pragma once

#include <functional>
#include <string>

#include "ui/WindowImplBase.h"

namespace q208 {

// DPI values a window of the program may take; anything else falls back to 96.
bool IsSupportedWindowDpi(int dpi);

// Which buttons a message box shows.
enum MessageBoxButtons : int {
    kMessageBoxOk = 0,           // "confirm_btn" only
    kMessageBoxOkCancel = 1,     // "confirm_btn" and "cancel_btn"
};

// The modal message box: a title, a text (a language key or literal text) and one or two
// buttons. Its result is 1 for "confirm_btn" and 0 for every other way of closing it.
class CMsgWnd : public WindowImplBase {
public:
    static constexpr const char* kClassName = "MsgWnd";
    static constexpr const char* kSkinName = "XML_MSG";

    void InitWindow() override;
    void Notify(TNotifyUI& msg) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

    void SetTitle(const std::string& title);
    // `isResource`: the text is a key of the language table, shown in the current language.
    void SetMessageText(const std::string& text, bool isResource);
    // Applies `dpi` to the windows of this thread; an unsupported value becomes 96 (traced).
    void SetDPI(int dpi);
    int GetDPI() const { return dpi_; }
    // kMessageBoxOk hides "cancel_btn", kMessageBoxOkCancel shows it; other values leave
    // the layout's buttons as they are.
    void SetButtons(int buttons);

    // Called once each box is initialised and about to be shown modally: tests answer the
    // box from it. Returns the previous hook.
    using ShownHook = std::function<void(CMsgWnd&)>;
    static ShownHook SetShownHook(ShownHook hook);

protected:
    std::string GetWindowClassName() const override { return kClassName; }
    std::string GetSkinFile() override { return kSkinName; }

private:
    CControlUI* closeButton_ = nullptr;
    int dpi_ = 96;
};

// Shows a modal message box over `parent` and returns 1 (confirmed) or 0 (cancelled or
// closed). An empty title or text leaves the layout's own text.
int ShowMessageBox(HWND parent, const std::string& title, const std::string& text, int dpi, bool textIsResource,
                   int buttons);

}  // namespace q208
