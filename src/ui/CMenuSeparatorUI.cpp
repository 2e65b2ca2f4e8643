#include "ui/CMenuSeparatorUI.h"

#include "ui/UiAttrTable.h"

namespace q208 {

CMenuSeparatorUI::CMenuSeparatorUI() {
    SetFixedHeight(9);
    SetMouseEnabled(false);
}

void* CMenuSeparatorUI::GetInterface(std::string_view name) {
    return name == "MenuSeparator" ? this : CControlUI::GetInterface(name);
}

void CMenuSeparatorUI::PaintStatusImage(IRenderTarget& target) {
    const int y = (rcItem_.top + rcItem_.bottom) / 2;
    const int m = Scaled(margin_);
    target.FillRect({rcItem_.left + m, y, rcItem_.right - m, y + std::max(1, Scaled(1))}, lineColor_);
}

AttrResult CMenuSeparatorUI::SetAttribute(std::string_view name, std::string_view value) {
    using S = CMenuSeparatorUI;
    static const AttrTable<S> table = {
        {"linecolor", [](S& s, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { s.lineColor_ = c; s.Invalidate(); }); }},
        {"margin", [](S& s, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { s.margin_ = n; s.Invalidate(); }); }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CControlUI::SetAttribute(name, value);
}

}  // namespace q208
