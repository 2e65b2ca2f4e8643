#include "ui/CProgressUI.h"

#include "ui/UiAttrTable.h"

namespace q208 {

void* CProgressUI::GetInterface(std::string_view name) {
    return name == "Progress" ? this : CLabelUI::GetInterface(name);
}

void CProgressUI::SetHorizontal(bool horizontal) {
    horizontal_ = horizontal;
    Invalidate();
}

void CProgressUI::SetMinValue(int value) {
    min_ = value;
    if (max_ < min_) max_ = min_;
    SetValue(value_);
    Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
    max_ = value;
    if (min_ > max_) min_ = max_;
    SetValue(value_);
    Invalidate();
}

void CProgressUI::SetValue(int value) {
    value = std::clamp(value, min_, max_);
    if (value == value_) return;
    value_ = value;
    Invalidate();
    NotifyAccess(AccessEvent::ValueChanged);
}

bool CProgressUI::SetForeImage(std::string_view image) {
    if (!foreImage_.Set(image)) return false;
    Invalidate();
    return true;
}

void CProgressUI::SetForeColor(ARGB color) {
    foreColor_ = color;
    Invalidate();
}

UiRect CProgressUI::ForeRect() const {
    UiRect rc = BarRect();
    if (max_ <= min_) return {rc.left, rc.top, rc.left, rc.top};
    const int64_t span = max_ - min_;
    if (horizontal_) {
        rc.right = rc.left + static_cast<int>(rc.Width() * static_cast<int64_t>(value_ - min_) / span);
    } else {
        rc.top = rc.bottom - static_cast<int>(rc.Height() * static_cast<int64_t>(value_ - min_) / span);
    }
    return rc;
}

void CProgressUI::PaintStatusImage(IRenderTarget& target) {
    const UiRect fore = ForeRect();
    if (fore.IsEmpty()) return;
    if (foreColor_ >> 24) target.FillRect(fore, foreColor_);
    if (!foreImage_.desc.file.empty()) {
        target.PushClip(fore);
        DrawImage(target, foreImage_.desc);
        target.PopClip();
    }
}

AttrResult CProgressUI::SetAttribute(std::string_view name, std::string_view value) {
    using P = CProgressUI;
    static const AttrTable<P> table = {
        {"hor", [](P& p, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { p.SetHorizontal(b); }); }},
        {"min", [](P& p, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { p.SetMinValue(n); }); }},
        {"max", [](P& p, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { p.SetMaxValue(n); }); }},
        {"value", [](P& p, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { p.SetValue(n); }); }},
        {"foreimage", [](P& p, std::string_view v) { return p.SetForeImage(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"forecolor", [](P& p, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { p.SetForeColor(c); }); }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CLabelUI::SetAttribute(name, value);
}

}  // namespace q208
