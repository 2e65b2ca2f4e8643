#include "ui/CLabelUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/IUiPlatform.h"
#include "ui/UiAttrTable.h"

namespace q208 {

namespace {

constexpr UINT kHAlignMask = DT_CENTER | DT_RIGHT;
constexpr UINT kVAlignMask = DT_VCENTER | DT_BOTTOM;

}  // namespace

void* CLabelUI::GetInterface(std::string_view name) {
    return name == "Label" ? this : CControlUI::GetInterface(name);
}

void CLabelUI::SetTextStyle(UINT style) {
    textStyle_ = style;
    Invalidate();
}
void CLabelUI::SetTextColor(ARGB color) {
    textColor_ = color;
    Invalidate();
}
void CLabelUI::SetDisabledTextColor(ARGB color) {
    disabledTextColor_ = color;
    Invalidate();
}
void CLabelUI::SetFont(int id) {
    font_ = id;
    Invalidate();
}
UiRect CLabelUI::GetTextPadding() const { return Scaled(textPadding_); }
void CLabelUI::SetTextPadding(const UiRect& padding) {
    textPadding_ = padding;
    Invalidate();
}
void CLabelUI::SetAutoCalcWidth(bool autoCalc) {
    autoCalcWidth_ = autoCalc;
    NeedParentUpdate();
}

FontDesc CLabelUI::CurrentFont() const {
    if (manager_) return manager_->GetFont(font_);
    return FontDesc{};
}

UiSize CLabelUI::EstimateSize(UiSize available) {
    UiSize size = CControlUI::EstimateSize(available);
    if (autoCalcWidth_) {
        const UiRect pad = GetTextPadding();
        size.cx = UiPlatform().MeasureText(GetText(), CurrentFont()).cx + pad.left + pad.right;
    }
    return size;
}

void CLabelUI::DrawLabelText(IRenderTarget& target, const std::string& text, ARGB color) {
    if (text.empty() || (color >> 24) == 0) return;
    const UiRect rc = rcItem_.Deflate(GetTextPadding());
    target.DrawText(rc, text, CurrentFont(), color, textStyle_);
}

void CLabelUI::PaintText(IRenderTarget& target) {
    DrawLabelText(target, GetText(), IsEnabled() ? textColor_ : disabledTextColor_);
}

AttrResult CLabelUI::SetAttribute(std::string_view name, std::string_view value) {
    using L = CLabelUI;
    static const AttrTable<L> table = {
        {"align", [](L& l, std::string_view v) {
             return SetParsed(attr::HAlign(v), [&](UINT a) { l.SetTextStyle((l.GetTextStyle() & ~kHAlignMask) | a); });
         }},
        {"valign", [](L& l, std::string_view v) {
             return SetParsed(attr::VAlign(v), [&](UINT a) { l.SetTextStyle((l.GetTextStyle() & ~kVAlignMask) | a); });
         }},
        {"endellipsis", [](L& l, std::string_view v) {
             return SetParsed(attr::Bool(v), [&](bool b) {
                 l.SetTextStyle(b ? (l.GetTextStyle() | DT_END_ELLIPSIS) : (l.GetTextStyle() & ~DT_END_ELLIPSIS));
             });
         }},
        {"wordbreak", [](L& l, std::string_view v) {
             return SetParsed(attr::Bool(v), [&](bool b) {
                 const UINT s = l.GetTextStyle() & ~(DT_WORDBREAK | DT_SINGLELINE);
                 l.SetTextStyle(s | (b ? DT_WORDBREAK : DT_SINGLELINE));
             });
         }},
        {"multiline", [](L& l, std::string_view v) {
             return SetParsed(attr::Bool(v), [&](bool b) {
                 const UINT s = l.GetTextStyle() & ~(DT_WORDBREAK | DT_SINGLELINE);
                 l.SetTextStyle(s | (b ? DT_WORDBREAK : DT_SINGLELINE));
             });
         }},
        {"textcolor", [](L& l, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { l.SetTextColor(c); }); }},
        {"disabledtextcolor", [](L& l, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { l.SetDisabledTextColor(c); }); }},
        {"font", [](L& l, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { l.SetFont(n); }); }},
        {"textpadding", [](L& l, std::string_view v) { return SetParsed(attr::Rect(v), [&](UiRect r) { l.SetTextPadding(r); }); }},
        {"autocalcwidth", [](L& l, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { l.SetAutoCalcWidth(b); }); }},
        {"showhtml", [](L&, std::string_view v) { return attr::Bool(v) ? AttrResult::Applied : AttrResult::Malformed; }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CControlUI::SetAttribute(name, value);
}

AccessRole CLabelUI::GetAccessRole() const {
    const AccessRole role = CControlUI::GetAccessRole();
    return role == AccessRole::Panel ? AccessRole::Label : role;
}

}  // namespace q208
