#pragma once

#include "ui/WindowImplBase.h"

namespace q208 {

class CComboUI;
class CComboDropUI;

// The drop-down of a combo as a pop-up window of its own, so that the list is never cut at
// the edge of the combo's window: below the combo, above it when the screen has no room
// below, kept on the screen. While it is open the combo's items are painted and hit here
// (they keep belonging to the combo). The pointer highlights an item and a release on it
// chooses it; Up, Down, Home, End, Page Up and Page Down move the highlight, Enter and Space
// choose, Escape, a press outside and a lost focus close it without a choice. The window
// owns itself and goes away after it is closed.
class CComboWnd : public WindowImplBase {
public:
    // Opens the drop-down of `owner`; null when there is nothing to show or no window.
    static CComboWnd* Open(CComboUI& owner);
    // The drop-down open on the calling thread, or null.
    static CComboWnd* Current();

    // Closes the list without a choice: the items go back to the combo now (it may be going
    // away), the window closes from the message loop.
    void ReleaseOwner();
    // An item was added while the list is open.
    void Adopt(CControlUI& item);
    // Items were added or removed: lays them out again.
    void Relayout();
    int GetHotItem() const;
    void SetHotItem(int index);
    // Closes the list and selects item `index` in the combo ("itemselect").
    void Choose(int index);
    CComboUI* GetOwner() const { return owner_; }

protected:
    std::string GetWindowClassName() const override { return "ComboWnd"; }
    std::string GetSkinFile() override { return {}; }
    bool IsPopupWindow() const override { return true; }
    LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    void OnFinalMessage(HWND hwnd) override;

private:
    explicit CComboWnd(CComboUI& owner) : owner_(&owner) {}
    // The pixel size the list asks for, and where it opens on the screen.
    UiRect Placement() const;
    // Hands the items back to the combo's window and tells the combo once.
    void Finish();

    CComboUI* owner_;
    CComboDropUI* list_ = nullptr;
};

}  // namespace q208
