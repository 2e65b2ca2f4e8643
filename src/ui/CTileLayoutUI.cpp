#include "ui/CTileLayoutUI.h"

#include "ui/UiAttrTable.h"

namespace q208 {

void* CTileLayoutUI::GetInterface(std::string_view name) {
    return name == "TileLayout" ? this : CContainerUI::GetInterface(name);
}

void CTileLayoutUI::SetColumns(int columns) {
    columns_ = std::max(0, columns);
    NeedUpdate();
}

UiSize CTileLayoutUI::GetItemSize() const { return {Scaled(itemSize_.cx), Scaled(itemSize_.cy)}; }

void CTileLayoutUI::SetItemSize(UiSize size) {
    itemSize_ = {std::max(0, size.cx), std::max(0, size.cy)};
    NeedUpdate();
}

int CTileLayoutUI::ColumnsFor(int width) const {
    if (columns_ > 0) return columns_;
    const int cell = GetItemSize().cx;
    if (cell <= 0) return 1;
    const int gap = GetChildPadding();
    return std::max(1, (width + gap) / (cell + gap));
}

void CTileLayoutUI::SetPos(const UiRect& rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    const UiRect area = rcItem_.Deflate(GetInset());
    const int gap = GetChildPadding();
    std::vector<CControlUI*> flow;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* c = GetItemAt(i);
        if (c->IsVisible() && !c->IsFloat()) flow.push_back(c);
    }
    // Twice at most: a scroll bar that appears makes the area narrower.
    UiRect client = area;
    int columns = 1;
    int cellWidth = 0;
    std::vector<int> rowHeights;
    for (int pass = 0; pass < 2; ++pass) {
        columns = ColumnsFor(client.Width());
        cellWidth = GetItemSize().cx > 0 ? GetItemSize().cx : std::max(0, (client.Width() - gap * (columns - 1)) / columns);
        rowHeights.assign((flow.size() + columns - 1) / columns, GetItemSize().cy);
        int height = 0;
        for (size_t row = 0; row < rowHeights.size(); ++row) {
            for (size_t k = row * columns; GetItemSize().cy <= 0 && k < std::min(flow.size(), (row + 1) * columns); ++k) {
                const int h = flow[k]->GetFixedHeight() > 0 ? flow[k]->GetFixedHeight() : cellWidth;
                rowHeights[row] = std::max(rowHeights[row], h);
            }
            height += rowHeights[row] + (row > 0 ? gap : 0);
        }
        const UiRect next = ProcessScrollBar(area, client.Width(), height);
        const bool settled = next == client;
        client = next;
        if (settled) break;
    }
    laidOutColumns_ = columns;
    int y = client.top - GetScrollPos().cy;
    for (size_t row = 0; row < rowHeights.size(); ++row) {
        int x = client.left;
        for (size_t k = row * columns; k < std::min(flow.size(), (row + 1) * columns); ++k) {
            const UiRect pad = flow[k]->GetPadding();
            flow[k]->SetPos({x + pad.left, y + pad.top, x + cellWidth - pad.right, y + rowHeights[row] - pad.bottom});
            x += cellWidth + gap;
        }
        y += rowHeights[row] + gap;
    }
    for (int i = 0; i < GetCount(); ++i) {
        if (GetItemAt(i)->IsVisible() && GetItemAt(i)->IsFloat()) SetFloatPos(i);
    }
}

AttrResult CTileLayoutUI::SetAttribute(std::string_view name, std::string_view value) {
    using T = CTileLayoutUI;
    static const AttrTable<T> table = {
        {"columns", [](T& t, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { t.SetColumns(n); }); }},
        {"itemsize", [](T& t, std::string_view v) { return SetParsed(attr::Size(v), [&](UiSize s) { t.SetItemSize(s); }); }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CContainerUI::SetAttribute(name, value);
}

}  // namespace q208
