#pragma once

#include "ui/CContainerUI.h"

namespace q208 {

// Children side by side (horizontal): fixed-size children get their size plus padding, the
// others share the rest equally and the last of them takes the remainder; across, a child
// gets its fixed size or the full size minus its padding.
class CHorizontalLayoutUI : public CContainerUI {
public:
    std::string GetClass() const override { return "HorizontalLayoutUI"; }
    void* GetInterface(std::string_view name) override {
        return name == "HorizontalLayout" ? this : CContainerUI::GetInterface(name);
    }
    void SetPos(const UiRect& rc, bool /*needInvalidate*/ = true) override { LayoutLine(rc, true); }
};

}  // namespace q208
