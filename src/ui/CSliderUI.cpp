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

UiRect CSliderUI::GetThumbRect() const {
    const UiSize thumb = GetThumbSize();
    const int span = GetMaxValue() - GetMinValue();
    const int offsetValue = GetValue() - GetMinValue();
    if (IsHorizontal()) {
        const int travel = std::max(0, rcItem_.Width() - thumb.cx);
        const int left = rcItem_.left + (span > 0 ? static_cast<int>(static_cast<int64_t>(travel) * offsetValue / span) : 0);
        const int top = rcItem_.top + (rcItem_.Height() - thumb.cy) / 2;
        return {left, top, left + thumb.cx, top + thumb.cy};
    }
    const int travel = std::max(0, rcItem_.Height() - thumb.cy);
    const int bottom = rcItem_.bottom - (span > 0 ? static_cast<int>(static_cast<int64_t>(travel) * offsetValue / span) : 0);
    const int left = rcItem_.left + (rcItem_.Width() - thumb.cx) / 2;
    return {left, bottom - thumb.cy, left + thumb.cx, bottom};
}

int CSliderUI::ValueAt(UiPoint pt) const {
    const UiSize thumb = GetThumbSize();
    const int span = GetMaxValue() - GetMinValue();
    int travel = 0;
    int offset = 0;
    if (IsHorizontal()) {
        travel = rcItem_.Width() - thumb.cx;
        offset = pt.x - rcItem_.left - thumb.cx / 2;
    } else {
        travel = rcItem_.Height() - thumb.cy;
        offset = rcItem_.bottom - pt.y - thumb.cy / 2;
    }
    if (travel <= 0 || span <= 0) return GetMinValue();
    offset = std::clamp(offset, 0, travel);
    // Nearest value to the pointer.
    const int64_t scaled = (static_cast<int64_t>(offset) * span * 2 + travel) / (2 * travel);
    return GetMinValue() + static_cast<int>(scaled);
}

void CSliderUI::StepBy(int steps) {
    const int old = GetValue();
    SetValue(old + steps * step_);
    if (GetValue() != old) SendNotify(DUI_MSGTYPE_VALUECHANGED);
}

void CSliderUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled()) {
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

void CSliderUI::PaintStatusImage(IRenderTarget& target) {
    CProgressUI::PaintStatusImage(target);
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
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CProgressUI::SetAttribute(name, value);
}

}  // namespace q208
