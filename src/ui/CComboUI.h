#pragma once

#include "ui/CContainerUI.h"
#include "ui/IListUI.h"

namespace q208 {

class CComboWnd;

// A drop-down choice. Its items (CListLabelElementUI) are its children but are shown only
// in the drop-down list, a pop-up window of its own (CComboWnd) below the combo. Choosing
// an item, the wheel over the closed combo and the arrow keys send "itemselect" (wParam
// new, lParam old) with the combo as sender; opening the list sends "dropdown".
class CComboUI : public CContainerUI, public IListOwnerUI {
public:
    CComboUI();
    ~CComboUI() override;

    std::string GetClass() const override { return "ComboUI"; }
    AccessRole GetAccessRole() const override { return AccessRole::ComboBox; }
    std::vector<std::string_view> GetAccessActions() const override { return {kAccessPress}; }
    bool DoAccessAction(std::string_view action) override;
    // Every item, also while the drop-down is closed: a script selects one by its action.
    std::vector<CControlUI*> GetAccessChildren() const override;
    void* GetInterface(std::string_view name) override;

    TListInfoUI* GetListInfo() override { return &info_; }
    int GetCurSel() const override { return curSel_; }
    bool SelectItem(int index, bool takeFocus = false, bool triggerEvent = true) override;
    void DoItemEvent(TEventUI& event) override { DoEvent(event); }
    int FindItemByUserData(std::string_view data) const;
    // The text of the selected item (or the combo's own text when none is selected).
    std::string GetText() const override;

    bool IsDropped() const { return GetDropWindow() != nullptr; }
    void ShowDropDown();
    void ClosePopup() override;
    // The open drop-down list, or null.
    CComboWnd* GetDropWindow() const;
    // Called by the drop-down when it closes.
    void OnDropClosed(CComboWnd& drop);
    UiSize GetDropBoxSize() const;
    void SetDropBoxSize(UiSize size);
    UiRect GetTextPadding() const { return Scaled(textPadding_); }

    CControlUI* AddAt(std::unique_ptr<CControlUI> control, int index) override;
    bool Remove(CControlUI* control) override;
    void RemoveAll() override;
    std::unique_ptr<CControlUI> Detach(CControlUI* control) override;
    void DoEvent(TEventUI& event) override;
    void DoPaint(IRenderTarget& target, const UiRect& rcPaint) override;
    void PaintText(IRenderTarget& target) override;
    void PaintStatusImage(IRenderTarget& target) override;
    CControlUI* FindControl(const FindProc& proc, UINT flags) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

    ARGB textColor = 0xFF000000;
    ARGB disabledTextColor = 0xFFA7A6AA;
    ARGB dropBkColor = 0xFFFFFFFF;
    ARGB dropBorderColor = 0xFF808080;
    int font = -1;

protected:
    bool TakesKeyboardFocus() const override { return true; }

private:
    void Reindex(int from);
    void DropListChanged();

    TListInfoUI info_;
    int curSel_ = -1;
    HWND dropWnd_ = 0;
    bool hot_ = false;
    UiSize dropBox_{0, 150};
    UiRect textPadding_{4, 0, 4, 0};
    ImageAttr normalImage_, hotImage_, pushedImage_, disabledImage_;
};

}  // namespace q208
