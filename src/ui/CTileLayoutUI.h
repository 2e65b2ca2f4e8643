#pragma once

#include "ui/CContainerUI.h"

namespace q208 {

// Children in a grid, row by row (colour swatches, key tiles): "columns" per row, or as
// many columns of "itemsize" width as fit; a cell is "itemsize" high, else the child's
// fixed height, else as high as it is wide. "childpadding" separates the cells both ways;
// a vertical scroll bar ("vscrollbar") shows the rows that do not fit.
class CTileLayoutUI : public CContainerUI {
public:
    std::string GetClass() const override { return "TileLayoutUI"; }
    void* GetInterface(std::string_view name) override;

    int GetColumns() const { return columns_; }
    void SetColumns(int columns);
    UiSize GetItemSize() const;
    void SetItemSize(UiSize size);
    // Columns of the last layout pass.
    int GetLaidOutColumns() const { return laidOutColumns_; }

    void SetPos(const UiRect& rc, bool needInvalidate = true) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

private:
    int ColumnsFor(int width) const;

    int columns_ = 0;  // 0: from the item width
    UiSize itemSize_;
    int laidOutColumns_ = 1;
};

}  // namespace q208
