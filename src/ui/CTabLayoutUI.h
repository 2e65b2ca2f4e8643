#pragma once

#include "ui/CContainerUI.h"

namespace q208 {

// Pages of which one is shown; the others stay built and hidden.
class CTabLayoutUI : public CContainerUI {
public:
    std::string GetClass() const override { return "TabLayoutUI"; }
    AccessRole GetAccessRole() const override { return AccessRole::PageTabList; }
    void* GetInterface(std::string_view name) override;

    int GetCurSel() const { return curSel_; }
    // Shows page `index` ("tabselect" with wParam new, lParam old when triggerEvent).
    // False when out of range.
    bool SelectItem(int index, bool triggerEvent = true);
    bool SelectItem(CControlUI* control, bool triggerEvent = true);

    CControlUI* AddAt(std::unique_ptr<CControlUI> control, int index) override;
    bool Remove(CControlUI* control) override;
    void RemoveAll() override;
    std::unique_ptr<CControlUI> Detach(CControlUI* control) override;
    void SetPos(const UiRect& rc, bool needInvalidate = true) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

private:
    void AfterRemoval(int removedIndex);

    int curSel_ = -1;
    int pendingSel_ = -1;  // "selectedid" given before the pages exist
};

}  // namespace q208
