#include "ui/CRingUI.h"

#include <cmath>
#include <numbers>

#include "ui/CPaintManagerUI.h"
#include "ui/UiAttrTable.h"

namespace q208 {

CRingUI::CRingUI() { SetTextStyle(DT_SINGLELINE | DT_CENTER | DT_VCENTER); }

void* CRingUI::GetInterface(std::string_view name) { return name == "Ring" ? this : CLabelUI::GetInterface(name); }

void CRingUI::Spin(bool on) {
    if (on == spinning_ || !manager_) return;
    spinning_ = on;
    if (on) {
        manager_->SetTimer(this, kSpinTimer, static_cast<UINT>(intervalMs_));
    } else {
        manager_->KillTimer(this, kSpinTimer);
    }
}

void CRingUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_TIMER && event.wParam == kSpinTimer) {
        // Hidden since the last paint: the ring stops until it is painted again.
        if (!IsShownInTree()) {
            Spin(false);
            return;
        }
        phase_ = (phase_ + 1) % std::max(1, dots_);
        Invalidate();
        return;
    }
    CLabelUI::DoEvent(event);
}

void CRingUI::DoPaint(IRenderTarget& target, const UiRect& rcPaint) {
    if (!rcPaint.Intersects(rcItem_)) return;
    Spin(true);
    CLabelUI::DoPaint(target, rcPaint);
}

void CRingUI::PaintStatusImage(IRenderTarget& target) {
    const int size = std::min(rcItem_.Width(), rcItem_.Height());
    if (size <= 0 || dots_ <= 0) return;
    const int dot = std::max(2, size / 7);
    const double radius = (size - dot) / 2.0;
    const double cx = (rcItem_.left + rcItem_.right) / 2.0;
    const double cy = (rcItem_.top + rcItem_.bottom) / 2.0;
    for (int i = 0; i < dots_; ++i) {
        // The dot at the phase is opaque, the ones behind it fade out.
        const int behind = (phase_ - i + dots_) % dots_;
        const ARGB alpha = static_cast<ARGB>(255 - behind * 200 / dots_);
        const double angle = 2.0 * std::numbers::pi * i / dots_ - std::numbers::pi / 2.0;
        const int x = static_cast<int>(std::lround(cx + radius * std::cos(angle) - dot / 2.0));
        const int y = static_cast<int>(std::lround(cy + radius * std::sin(angle) - dot / 2.0));
        target.FillRoundRect({x, y, x + dot, y + dot}, dot / 2, (dotColor_ & 0x00FFFFFF) | (alpha << 24));
    }
}

AttrResult CRingUI::SetAttribute(std::string_view name, std::string_view value) {
    using R = CRingUI;
    static const AttrTable<R> table = {
        {"dots", [](R& r, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { r.dots_ = std::clamp(n, 1, 60); }); }},
        {"dotcolor", [](R& r, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { r.dotColor_ = c; }); }},
        {"interval", [](R& r, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { r.intervalMs_ = std::max(15, n); }); }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CLabelUI::SetAttribute(name, value);
}

}  // namespace q208
