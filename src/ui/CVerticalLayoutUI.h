#pragma once

#include "ui/CContainerUI.h"

namespace q208 {

// Children side by side (vertical): fixed-size children get their size plus padding, the
// others share the rest equally and the last of them takes the remainder; across, a child
// gets its fixed size or the full size minus its padding.
class CVerticalLayoutUI : public CContainerUI {
public:
    std::string GetClass() const override { return "VerticalLayoutUI"; }
    void* GetInterface(std::string_view name) override {
        return name == "VerticalLayout" ? this : CContainerUI::GetInterface(name);
    }
    void SetPos(const UiRect& rc, bool /*needInvalidate*/ = true) override { LayoutLine(rc, false); }
};

}  // namespace q208
