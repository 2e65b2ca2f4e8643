#pragma once

#include "ui/COptionUI.h"

namespace q208 {

// An item of a pop-up menu (CMenuWnd): its text after a column for the check mark, an
// arrow when it opens a sub-menu ("submenu", a layout name). A "checkable" item toggles
// its check mark when chosen (with a group, it is one of several radio items); a disabled
// item is shown greyed and cannot be chosen. Plain items click like buttons.
class CMenuElementUI : public COptionUI {
public:
    CMenuElementUI();

    std::string GetClass() const override { return "MenuElementUI"; }
    AccessRole GetAccessRole() const override { return AccessRole::MenuItem; }
    void* GetInterface(std::string_view name) override;

    bool IsCheckable() const { return checkable_; }
    void SetCheckable(bool checkable) { checkable_ = checkable; Invalidate(); }
    bool IsChecked() const { return IsSelected(); }
    void SetChecked(bool checked) { Selected(checked, false); }
    const std::string& GetSubmenu() const { return submenu_; }
    void SetSubmenu(std::string layout) { submenu_ = std::move(layout); Invalidate(); }
    // The check state the choice asks for: toggled, or on for a radio item.
    bool CheckedAfterChoice() const { return GetGroup().empty() ? !IsSelected() : true; }

    bool Activate() override;
    void PaintStatusImage(IRenderTarget& target) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

private:
    bool checkable_ = false;
    std::string submenu_;
    ARGB markColor_ = 0;  // 0: the text colour
};

}  // namespace q208
