#include "ui/CSliderUI.h"

#include "ui/UiAttrTable.h"

namespace q208 {

CSliderUI::CSliderUI() { SetTextStyle(DT_SINGLELINE | DT_CENTER | DT_VCENTER); }

void* CSliderUI::GetInterface(std::string_view name) {
    return name == "Slider" ? this : CProgressUI::GetInterface(name);
}

UiSize CSliderUI::GetThumbSize() const { return {Scaled(thumbSize_.cx), Scaled(thumbSize_.cy)}; }

void CSliderUI::SetThumbSize(UiSize size) {
    thumbSize_ = size;
    Invalidate();
}

bool CSliderUI::SetThumbImage(std::string_view image) {
    if (!thumbImage_.Set(image)) return false;
    Invalidate();
    return true;
}

void CSliderUI::SetTicks(int ticks) {
    ticks_ = std::max(0, ticks);
    Invalidate();
}

void CSliderUI::SetShowValue(bool show) {
    showValue_ = show;
    Invalidate();
}

UiRect CSliderUI::ValueRect() const {
    if (!showValue_) return {};
    const int band = Scaled(valueSize_);
    if (IsHorizontal()) return {std::max(rcItem_.left, rcItem_.right - band), rcItem_.top, rcItem_.right, rcItem_.bottom};
    return {rcItem_.left, rcItem_.top, rcItem_.right, std::min(rcItem_.bottom, rcItem_.top + band)};
}

UiRect CSliderUI::BarRect() const {
    if (!showValue_) return rcItem_;
    const UiRect band = ValueRect();
    if (IsHorizontal()) return {rcItem_.left, rcItem_.top, band.left, rcItem_.bottom};
    return {rcItem_.left, band.bottom, rcItem_.right, rcItem_.bottom};
}

UiRect CSliderUI::GetThumbRect() const {
    const UiRect bar = BarRect();
    const UiSize thumb = GetThumbSize();
    const int span = GetMaxValue() - GetMinValue();
    const int offsetValue = GetValue() - GetMinValue();
    if (IsHorizontal()) {
        const int travel = std::max(0, bar.Width() - thumb.cx);
        const int left = bar.left + (span > 0 ? static_cast<int>(static_cast<int64_t>(travel) * offsetValue / span) : 0);
        const int top = bar.top + (bar.Height() - thumb.cy) / 2;
        return {left, top, left + thumb.cx, top + thumb.cy};
    }
    const int travel = std::max(0, bar.Height() - thumb.cy);
    const int bottom = bar.bottom - (span > 0 ? static_cast<int>(static_cast<int64_t>(travel) * offsetValue / span) : 0);
    const int left = bar.left + (bar.Width() - thumb.cx) / 2;
    return {left, bottom - thumb.cy, left + thumb.cx, bottom};
}

int CSliderUI::ValueAt(UiPoint pt) const {
    const UiRect bar = BarRect();
    const UiSize thumb = GetThumbSize();
    const int span = GetMaxValue() - GetMinValue();
    int travel = 0;
    int offset = 0;
    if (IsHorizontal()) {
        travel = bar.Width() - thumb.cx;
        offset = pt.x - bar.left - thumb.cx / 2;
    } else {
        travel = bar.Height() - thumb.cy;
        offset = bar.bottom - pt.y - thumb.cy / 2;
    }
    if (travel <= 0 || span <= 0) return GetMinValue();
    offset = std::clamp(offset, 0, travel);
    // Nearest value to the pointer.
    const int64_t scaled = (static_cast<int64_t>(offset) * span * 2 + travel) / (2 * travel);
    return GetMinValue() + static_cast<int>(scaled);
}

void CSliderUI::StepBy(int steps) { MoveTo(GetValue() + steps * step_); }

void CSliderUI::MoveTo(int value) {
    const int old = GetValue();
    SetValue(value);
    if (GetValue() != old) SendNotify(DUI_MSGTYPE_VALUECHANGED);
}

void CSliderUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled() && BarRect().Contains(event.ptMouse)) {
            captured_ = true;
            const int old = GetValue();
            SetValue(ValueAt(event.ptMouse));
            if (GetValue() != old) SendNotify(DUI_MSGTYPE_MOVEVALUECHANGED);
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if (captured_) {
            const int old = GetValue();
            SetValue(ValueAt(event.ptMouse));
            if (GetValue() != old) SendNotify(DUI_MSGTYPE_MOVEVALUECHANGED);
        }
        return;
    case UIEVENT_BUTTONUP:
        if (captured_) {
            captured_ = false;
            SetValue(ValueAt(event.ptMouse));
            SendNotify(DUI_MSGTYPE_VALUECHANGED);
        }
        return;
    case UIEVENT_SCROLLWHEEL:
        if (IsEnabled()) {
            StepBy(static_cast<intptr_t>(event.wParam) > 0 ? 1 : -1);
            return;
        }
        break;
    case UIEVENT_KEYDOWN:
        if (IsEnabled()) {
            if (event.chKey == VK_LEFT || event.chKey == VK_DOWN) {
                StepBy(-1);
                return;
            }
            if (event.chKey == VK_RIGHT || event.chKey == VK_UP) {
                StepBy(1);
                return;
            }
            if (event.chKey == VK_HOME || event.chKey == VK_END) {
                MoveTo(event.chKey == VK_HOME ? GetMinValue() : GetMaxValue());
                return;
            }
        }
        break;
    case UIEVENT_KILLFOCUS:
        captured_ = false;
        break;
    default:
        break;
    }
    CProgressUI::DoEvent(event);
}

void CSliderUI::PaintBkColor(IRenderTarget& target) {
    if (!showValue_) {
        CProgressUI::PaintBkColor(target);
        return;
    }
    if (GetBkColor() >> 24) target.FillRect(BarRect(), GetBkColor());
}

// Marks on both sides of the bar at every interval, the two ends included.
void CSliderUI::PaintTicks(IRenderTarget& target) {
    if (ticks_ <= 0 || (tickColor_ >> 24) == 0) return;
    const UiRect bar = BarRect();
    const UiSize thumb = GetThumbSize();
    const int mark = std::max(1, Scaled(1));
    const int length = Scaled(4);
    for (int i = 0; i <= ticks_; ++i) {
        if (IsHorizontal()) {
            const int travel = std::max(0, bar.Width() - thumb.cx);
            const int x = bar.left + thumb.cx / 2 + travel * i / ticks_;
            target.FillRect({x, bar.top, x + mark, bar.top + length}, tickColor_);
            target.FillRect({x, bar.bottom - length, x + mark, bar.bottom}, tickColor_);
        } else {
            const int travel = std::max(0, bar.Height() - thumb.cy);
            const int y = bar.bottom - thumb.cy / 2 - travel * i / ticks_;
            target.FillRect({bar.left, y, bar.left + length, y + mark}, tickColor_);
            target.FillRect({bar.right - length, y, bar.right, y + mark}, tickColor_);
        }
    }
}

void CSliderUI::PaintText(IRenderTarget& target) {
    if (!showValue_) {
        CProgressUI::PaintText(target);
        return;
    }
    const FontDesc font = CurrentFont();
    target.DrawText(ValueRect(), std::to_string(GetValue()), font, IsEnabled() ? GetTextColor() : GetDisabledTextColor(),
                    DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

void CSliderUI::PaintStatusImage(IRenderTarget& target) {
    CProgressUI::PaintStatusImage(target);
    PaintTicks(target);
    const UiRect thumb = GetThumbRect();
    if (!thumbImage_.desc.file.empty()) {
        DrawImage(target, thumbImage_.desc, thumb);
    } else if (thumbColor_ >> 24) {
        target.FillRect(thumb, thumbColor_);
    }
}

AttrResult CSliderUI::SetAttribute(std::string_view name, std::string_view value) {
    using S = CSliderUI;
    static const AttrTable<S> table = {
        {"step", [](S& s, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { s.SetChangeStep(n); }); }},
        {"thumbsize", [](S& s, std::string_view v) { return SetParsed(attr::Size(v), [&](UiSize z) { s.SetThumbSize(z); }); }},
        {"thumbimage", [](S& s, std::string_view v) { return s.SetThumbImage(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"thumbhotimage", [](S&, std::string_view v) { return attr::Image(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"thumbpushedimage", [](S&, std::string_view v) { return attr::Image(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"thumbcolor", [](S& s, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { s.thumbColor_ = c; s.Invalidate(); }); }},
        {"ticks", [](S& s, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { s.SetTicks(n); }); }},
        {"tickcolor", [](S& s, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { s.tickColor_ = c; s.Invalidate(); }); }},
        {"showvalue", [](S& s, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { s.SetShowValue(b); }); }},
        {"valuesize", [](S& s, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { s.valueSize_ = std::max(0, n); s.Invalidate(); }); }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CProgressUI::SetAttribute(name, value);
}

bool CSliderUI::SetAccessValue(int value) {
    if (!IsEnabled()) return false;
    MoveTo(value);
    return true;
}

}  // namespace q208
