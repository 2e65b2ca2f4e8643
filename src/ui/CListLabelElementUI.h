#pragma once

#include "ui/CLabelUI.h"
#include "ui/IListUI.h"

namespace q208 {

// A text row of a list or combo: text, user data and a fixed height. Pressing selects it
// ("itemselect" from the owner), releasing sends "itemclick", a double click "itemactivate".
class CListLabelElementUI : public CLabelUI, public IListItemUI {
public:
    std::string GetClass() const override { return "ListLabelElementUI"; }
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
    UiSize EstimateSize(UiSize available) override;
    void DoEvent(TEventUI& event) override;
    void PaintBkColor(IRenderTarget& target) override;
    void PaintText(IRenderTarget& target) override;

private:
    IListOwnerUI* owner_ = nullptr;
    int index_ = -1;
    bool selected_ = false;
    bool hot_ = false;
};

}  // namespace q208
