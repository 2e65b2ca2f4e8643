#pragma once

#include "ui/CControlUI.h"

namespace q208 {

// A line between groups of menu items: never chosen, never a tab stop.
class CMenuSeparatorUI : public CControlUI {
public:
    CMenuSeparatorUI();

    std::string GetClass() const override { return "MenuSeparatorUI"; }
    void* GetInterface(std::string_view name) override;

    void PaintStatusImage(IRenderTarget& target) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

private:
    ARGB lineColor_ = 0xFF3C434D;
    int margin_ = 8;  // left and right of the line, at 96 DPI
};

}  // namespace q208
