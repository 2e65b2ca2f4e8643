#pragma once

#include "ui/CButtonUI.h"
#include "ui/CHorizontalLayoutUI.h"

namespace q208 {

// One column title of a list header: its width is the column's width (0: the rest of the
// row); a click sends "headerclick" (wParam the column) with the list header as sender.
class CListHeaderItemUI : public CButtonUI {
public:
    CListHeaderItemUI();
    std::string GetClass() const override { return "ListHeaderItemUI"; }
    void* GetInterface(std::string_view name) override;

    bool Activate() override;
    void PaintBorder(IRenderTarget& target) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

protected:
    bool TakesKeyboardFocus() const override { return false; }

private:
    ARGB sepColor_ = 0xFF3C434D;
};

// The column titles over a list ("ListHeader" as the list's first child): it stays at the
// top while the rows scroll, and the cells of every ListContainerElement row follow its
// column widths.
class CListHeaderUI : public CHorizontalLayoutUI {
public:
    CListHeaderUI();
    std::string GetClass() const override { return "ListHeaderUI"; }
    void* GetInterface(std::string_view name) override;
    UiSize EstimateSize(UiSize available) override;
};

}  // namespace q208
