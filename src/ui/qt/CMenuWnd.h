#pragma once

#include <optional>
#include <string>

#include "ui/WindowImplBase.h"

namespace q208 {

// What the user chose in a pop-up menu.
struct MenuCmd {
    std::string name;      // the item's control name
    std::string userData;
    std::string text;
    bool checked = false;  // an Option item's selection
};

// A pop-up menu built from a layout ("menu.xml"): every Button or Option in it is an item.
// A click closes the menu and posts the menu message (1145) to the owner with wParam the
// number of the choice, which TakeCommand turns into the MenuCmd once. Clicking elsewhere,
// Escape or losing the focus closes the menu without a choice. Menus own themselves.
class CMenuWnd : public WindowImplBase {
public:
    static constexpr UINT kMenuMessage = 1145;

    // Opens a menu at `screenPos` (moved inside the work area); the window handle or 0.
    static HWND Popup(HWND owner, const std::string& layout, UiPoint screenPos);
    // The choice posted with `wParam`; nullopt when unknown or already taken.
    static std::optional<MenuCmd> TakeCommand(WPARAM wParam);
    static int OpenCount();

    void Notify(TNotifyUI& msg) override;

protected:
    std::string GetWindowClassName() const override { return "MenuWnd"; }
    std::string GetSkinFile() override { return layout_; }
    bool IsPopupWindow() const override { return true; }
    void OnFinalMessage(HWND hwnd) override;

private:
    CMenuWnd(HWND owner, std::string layout) : owner_(owner), layout_(std::move(layout)) {}
    void Choose(CControlUI& item);

    HWND owner_;
    std::string layout_;
    bool chosen_ = false;
};

}  // namespace q208
