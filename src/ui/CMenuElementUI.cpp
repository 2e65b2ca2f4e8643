#include "ui/CMenuElementUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/UiAttrTable.h"

namespace q208 {

namespace {

// The check-mark column on the left and the arrow column on the right, at 96 DPI.
constexpr int kMarkColumn = 24;
constexpr int kArrowColumn = 18;
constexpr const char* kCheckMark = "\u2713";
constexpr const char* kSubmenuArrow = "\u203A";

}  // namespace

CMenuElementUI::CMenuElementUI() {
    SetTextStyle(DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
    SetTextPadding({kMarkColumn, 0, kArrowColumn, 0});
}

void* CMenuElementUI::GetInterface(std::string_view name) {
    return name == "MenuElement" ? this : COptionUI::GetInterface(name);
}

bool CMenuElementUI::Activate() {
    if (checkable_) return COptionUI::Activate();
    // A plain item is a button: no check mark of its own.
    return CButtonUI::Activate();
}

void CMenuElementUI::PaintStatusImage(IRenderTarget& target) {
    COptionUI::PaintStatusImage(target);
    const ARGB text = IsEnabled() ? GetTextColor() : GetDisabledTextColor();
    const ARGB mark = markColor_ >> 24 && IsEnabled() ? markColor_ : text;
    const FontDesc font = CurrentFont();
    if (checkable_ && IsSelected()) {
        const UiRect column{rcItem_.left, rcItem_.top, rcItem_.left + Scaled(kMarkColumn), rcItem_.bottom};
        target.DrawText(column, kCheckMark, font, mark, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    if (!submenu_.empty()) {
        const UiRect column{rcItem_.right - Scaled(kArrowColumn), rcItem_.top, rcItem_.right, rcItem_.bottom};
        target.DrawText(column, kSubmenuArrow, font, text, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
}

AttrResult CMenuElementUI::SetAttribute(std::string_view name, std::string_view value) {
    using M = CMenuElementUI;
    static const AttrTable<M> table = {
        {"checkable", [](M& m, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { m.SetCheckable(b); }); }},
        {"checked", [](M& m, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { m.SetChecked(b); }); }},
        {"submenu", [](M& m, std::string_view v) { m.SetSubmenu(std::string(v)); return AttrResult::Applied; }},
        {"markcolor", [](M& m, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { m.markColor_ = c; m.Invalidate(); }); }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return COptionUI::SetAttribute(name, value);
}

}  // namespace q208
