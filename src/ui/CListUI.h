#pragma once

#include <optional>

#include "ui/CListHeaderUI.h"
#include "ui/CVerticalLayoutUI.h"
#include "ui/IListUI.h"

namespace q208 {

// A vertical, scrolling list of rows (CListLabelElementUI or CListContainerElementUI).
// One row at most is selected; selecting scrolls it into view and sends "itemselect"
// with the list as sender; Up, Down, Home, End, Page Up and Page Down select from the
// keyboard. A ListHeader given as a child is the list's header, not a row: it stays at the
// top, and the cells of container rows take its column widths.
class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
public:
    CListUI();

    std::string GetClass() const override { return "ListUI"; }
    AccessRole GetAccessRole() const override { return AccessRole::List; }
    void* GetInterface(std::string_view name) override;

    TListInfoUI* GetListInfo() override { return &info_; }
    int GetCurSel() const override { return curSel_; }
    bool SelectItem(int index, bool takeFocus = false, bool triggerEvent = true) override;
    void DoItemEvent(TEventUI& event) override { DoEvent(event); }
    // Scrolls row `index` into view.
    void EnsureVisible(int index);
    // The row whose user data is `data`, or -1.
    int FindItemByUserData(std::string_view data) const;
    // Moves row `from` to place `to`; the selection stays on the row it was on.
    bool MoveItem(int from, int to);
    CListHeaderUI* GetHeader() const { return header_.get(); }
    std::vector<std::pair<int, int>> GetColumns() const override;
    UiRect GetInset() const override;

    CControlUI* AddAt(std::unique_ptr<CControlUI> control, int index) override;
    bool Remove(CControlUI* control) override;
    void RemoveAll() override;
    std::unique_ptr<CControlUI> Detach(CControlUI* control) override;
    void SetPos(const UiRect& rc, bool needInvalidate = true) override;
    void DoPaint(IRenderTarget& target, const UiRect& rcPaint) override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    CControlUI* FindControl(const FindProc& proc, UINT flags) override;
    void DoEvent(TEventUI& event) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

    // The item* attributes shared by lists and combos.
    static std::optional<AttrResult> SetListInfoAttribute(TListInfoUI& info, std::string_view name,
                                                          std::string_view value);

protected:
    bool TakesKeyboardFocus() const override { return true; }

private:
    void Reindex(int from);
    void PlaceHeader();
    int PageRows() const;

    std::unique_ptr<CListHeaderUI> header_;
    TListInfoUI info_;
    int curSel_ = -1;
};

}  // namespace q208
