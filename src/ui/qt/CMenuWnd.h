#pragma once

#include <optional>
#include <string>

#include "ui/WindowImplBase.h"

namespace q208 {

class CMenuElementUI;

// What the user chose in a pop-up menu.
struct MenuCmd {
    std::string name;      // the item's control name
    std::string userData;
    std::string text;
    bool checked = false;  // an Option item's selection; a checkable MenuElement's new state
};

// A pop-up menu built from a layout ("menu.xml"): every Button, Option or MenuElement in
// it is an item, MenuSeparator draws a line between groups, a disabled item cannot be
// chosen. A click (or Enter and Space on the item Up and Down moved to) closes the menu
// and posts the menu message (1145) to the owner with wParam the number of the choice,
// which TakeCommand turns into the MenuCmd once. A MenuElement with a "submenu" layout
// opens that menu beside it on a click, on Right, or when the pointer rests on it; resting
// on another item closes it again; Left and Escape close a sub-menu alone.
// Clicking elsewhere or the focus going to another window closes every menu of the chain
// without a choice. Menus own themselves.
class CMenuWnd : public WindowImplBase {
public:
    static constexpr UINT kMenuMessage = 1145;
    // How long the pointer rests on an item before its sub-menu opens.
    static constexpr UINT kHoverDelayMs = 250;

    // Opens a menu with its top-left corner at `screenPos`, towards the left or upwards
    // where the work area ends; the window handle or 0.
    static HWND Popup(HWND owner, const std::string& layout, UiPoint screenPos);
    // The choice posted with `wParam`; nullopt when unknown or already taken.
    static std::optional<MenuCmd> TakeCommand(WPARAM wParam);
    static int OpenCount();
    // The innermost menu open on the calling thread, or null.
    static CMenuWnd* Current();

    // The sub-menu this menu has open (0: none).
    HWND GetSubmenu() const { return submenu_; }

    void Notify(TNotifyUI& msg) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

protected:
    std::string GetWindowClassName() const override { return "MenuWnd"; }
    std::string GetSkinFile() override { return layout_; }
    bool IsPopupWindow() const override { return true; }
    void OnPopupDismiss(PopupDismiss why, UiPoint clientPoint) override;
    void OnFinalMessage(HWND hwnd) override;

private:
    CMenuWnd(HWND owner, HWND parentMenu, std::string layout)
        : owner_(owner), parentMenu_(parentMenu), layout_(std::move(layout)) {}
    static CMenuWnd* Open(HWND owner, HWND parentMenu, const std::string& layout, UiRect anchor, bool beside);
    void Choose(CControlUI& item);
    void OpenSubmenu(CMenuElementUI& item);
    // The pointer came to rest on an item: its sub-menu opens, another one closes.
    void OnHoverRest();
    // This menu and the menus it was opened from.
    void CloseChain();

    HWND owner_;       // receives the menu message
    HWND parentMenu_;  // the menu this one is a sub-menu of (0: none)
    HWND submenu_ = 0;
    CControlUI* submenuItem_ = nullptr;  // the item whose sub-menu is open
    CControlUI* hover_ = nullptr;        // the item the pointer rests on
    std::string layout_;
    bool chosen_ = false;
};

}  // namespace q208
