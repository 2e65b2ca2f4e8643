#pragma once

#include "ui/CHorizontalLayoutUI.h"
#include "ui/IListUI.h"

namespace q208 {

// A list row made of cells (any controls, laid out side by side, or under the columns of
// the list's header when it has one). Pointer events that its cells do not handle select
// the row as a text row does; a cell taking the focus (an edit) selects its row too.
class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
public:
    std::string GetClass() const override { return "ListContainerElementUI"; }
    AccessRole GetAccessRole() const override { return AccessRole::ListItem; }
    bool IsAccessChecked() const override { return IsSelected(); }
    std::vector<std::string_view> GetAccessActions() const override { return {kAccessPress}; }
    bool DoAccessAction(std::string_view action) override;
    void* GetInterface(std::string_view name) override;

    int GetIndex() const override { return index_; }
    void SetIndex(int index) override { index_ = index; }
    IListOwnerUI* GetOwner() const override { return owner_; }
    void SetOwner(IListOwnerUI* owner) override { owner_ = owner; }
    bool IsSelected() const override { return selected_; }
    bool Select(bool select = true, bool triggerEvent = true) override;
    bool IsHot() const { return hot_; }

    bool Activate() override;
    CControlUI* AddAt(std::unique_ptr<CControlUI> control, int index) override;
    void SetPos(const UiRect& rc, bool needInvalidate = true) override;
    UiSize EstimateSize(UiSize available) override;
    void DoEvent(TEventUI& event) override;
    void PaintBkColor(IRenderTarget& target) override;

private:
    IListOwnerUI* owner_ = nullptr;
    int index_ = -1;
    bool selected_ = false;
    bool hot_ = false;
};

}  // namespace q208
