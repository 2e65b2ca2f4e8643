#include "ui/CColorPaletteUI.h"

#include <algorithm>
#include <cmath>

#include "ui/CPaintManagerUI.h"
#include "ui/UiAttrTable.h"

namespace q208 {

namespace {

constexpr double kHueStep = 2.0;
constexpr double kStep = 0.02;
constexpr ARGB kMarkColor = 0xFFFFFFFF;
constexpr ARGB kMarkShadow = 0xFF000000;

int Channel(double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); }

}  // namespace

ARGB HsvToArgb(double hue, double saturation, double value) {
    hue = std::fmod(std::fmod(hue, 360.0) + 360.0, 360.0);
    const double c = value * saturation;
    const double x = c * (1 - std::fabs(std::fmod(hue / 60.0, 2.0) - 1));
    const double m = value - c;
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(hue / 60.0)) {
    case 0: r = c; g = x; break;
    case 1: r = x; g = c; break;
    case 2: g = c; b = x; break;
    case 3: g = x; b = c; break;
    case 4: r = x; b = c; break;
    default: r = c; b = x; break;
    }
    return 0xFF000000u | (static_cast<ARGB>(Channel(r + m)) << 16) | (static_cast<ARGB>(Channel(g + m)) << 8) |
           static_cast<ARGB>(Channel(b + m));
}

void ArgbToHsv(ARGB color, double& hue, double& saturation, double& value) {
    const double r = ((color >> 16) & 0xFF) / 255.0;
    const double g = ((color >> 8) & 0xFF) / 255.0;
    const double b = (color & 0xFF) / 255.0;
    const double high = std::max({r, g, b});
    const double low = std::min({r, g, b});
    const double d = high - low;
    value = high;
    saturation = high > 0 ? d / high : 0;
    if (d <= 0) {
        hue = 0;
    } else if (high == r) {
        hue = 60.0 * std::fmod((g - b) / d + 6.0, 6.0);
    } else if (high == g) {
        hue = 60.0 * ((b - r) / d + 2.0);
    } else {
        hue = 60.0 * ((r - g) / d + 4.0);
    }
}

CColorPaletteUI::CColorPaletteUI() = default;

void* CColorPaletteUI::GetInterface(std::string_view name) {
    return name == "ColorPalette" ? this : CControlUI::GetInterface(name);
}

void CColorPaletteUI::SetSelectColor(ARGB color) {
    color_ = color | 0xFF000000u;
    double h = 0, s = 0, v = 0;
    ArgbToHsv(color_, h, s, v);
    // A grey or black keeps the hue (and a black the saturation) the user had: only the
    // parts the colour decides move.
    if (s > 0 && v > 0) hue_ = h;
    if (v > 0) saturation_ = s;
    value_ = v;
    Invalidate();
}

int CColorPaletteUI::GetBarHeight() const { return Scaled(barHeight_); }
void CColorPaletteUI::SetBarHeight(int height) {
    barHeight_ = std::max(0, height);
    Invalidate();
}

UiRect CColorPaletteUI::AreaRect() const {
    const int bar = GetBarHeight();
    const int below = bar > 0 ? bar + Scaled(gap_) : 0;
    return {rcItem_.left, rcItem_.top, rcItem_.right, std::max(rcItem_.top, rcItem_.bottom - below)};
}

UiRect CColorPaletteUI::BarRect() const {
    if (GetBarHeight() <= 0) return {};
    return {rcItem_.left, rcItem_.bottom - GetBarHeight(), rcItem_.right, rcItem_.bottom};
}

void CColorPaletteUI::SetHsv(double hue, double saturation, double value) {
    hue_ = std::clamp(hue, 0.0, 360.0);
    saturation_ = std::clamp(saturation, 0.0, 1.0);
    value_ = std::clamp(value, 0.0, 1.0);
    color_ = HsvToArgb(hue_ >= 360.0 ? 0.0 : hue_, saturation_, value_);
    Invalidate();
}

void CColorPaletteUI::PickAt(UiPoint pt) {
    const ARGB before = color_;
    if (drag_ == Part::Area) {
        const UiRect area = AreaRect();
        const double x = area.Width() > 1 ? double(std::clamp(pt.x, area.left, area.right - 1) - area.left) / (area.Width() - 1) : 0;
        const double y = area.Height() > 1 ? double(std::clamp(pt.y, area.top, area.bottom - 1) - area.top) / (area.Height() - 1) : 0;
        SetHsv(x * 360.0, 1.0 - y, value_);
    } else if (drag_ == Part::Bar) {
        const UiRect bar = BarRect();
        const double x = bar.Width() > 1 ? double(std::clamp(pt.x, bar.left, bar.right - 1) - bar.left) / (bar.Width() - 1) : 0;
        SetHsv(hue_, saturation_, x);
    }
    if (color_ != before) Changed();
}

void CColorPaletteUI::Changed() { SendNotify(DUI_MSGTYPE_COLORCHANGED, color_); }

void CColorPaletteUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (!IsEnabled()) return;
        drag_ = AreaRect().Contains(event.ptMouse) ? Part::Area : BarRect().Contains(event.ptMouse) ? Part::Bar : Part::None;
        PickAt(event.ptMouse);
        return;
    case UIEVENT_MOUSEMOVE:
        if (IsDragging()) PickAt(event.ptMouse);
        return;
    case UIEVENT_BUTTONUP:
        if (IsDragging()) {
            PickAt(event.ptMouse);
            drag_ = Part::None;
            Changed();
        }
        return;
    case UIEVENT_KILLFOCUS:
        drag_ = Part::None;
        break;
    case UIEVENT_KEYDOWN: {
        if (!IsEnabled()) break;
        double h = hue_, s = saturation_, v = value_;
        switch (event.chKey) {
        case VK_LEFT: h -= kHueStep; break;
        case VK_RIGHT: h += kHueStep; break;
        case VK_UP: s += kStep; break;
        case VK_DOWN: s -= kStep; break;
        case VK_PRIOR: v += kStep * 5; break;
        case VK_NEXT: v -= kStep * 5; break;
        default: CControlUI::DoEvent(event); return;
        }
        const ARGB before = color_;
        SetHsv(h, s, v);
        if (color_ != before) Changed();
        return;
    }
    default:
        break;
    }
    CControlUI::DoEvent(event);
}

void CColorPaletteUI::PaintStatusImage(IRenderTarget& target) {
    const int cell = std::max(1, Scaled(cell_));
    const UiRect area = AreaRect();
    for (int y = area.top; y < area.bottom; y += cell) {
        const double sat = area.Height() > 1 ? 1.0 - double(y - area.top) / (area.Height() - 1) : 1.0;
        for (int x = area.left; x < area.right; x += cell) {
            const double hue = area.Width() > 1 ? 360.0 * (x - area.left) / (area.Width() - 1) : 0;
            target.FillRect({x, y, std::min(x + cell, area.right), std::min(y + cell, area.bottom)},
                            HsvToArgb(hue >= 360.0 ? 0 : hue, sat, value_));
        }
    }
    const UiRect bar = BarRect();
    for (int x = bar.left; x < bar.right; x += cell) {
        const double v = bar.Width() > 1 ? double(x - bar.left) / (bar.Width() - 1) : 1.0;
        target.FillRect({x, bar.top, std::min(x + cell, bar.right), bar.bottom}, HsvToArgb(hue_, saturation_, v));
    }
    // The picked point: a small ring, black around white so that it shows on any colour.
    const int r = Scaled(5);
    const int mx = area.left + static_cast<int>(std::lround(hue_ / 360.0 * std::max(0, area.Width() - 1)));
    const int my = area.top + static_cast<int>(std::lround((1.0 - saturation_) * std::max(0, area.Height() - 1)));
    target.DrawBorder({mx - r - 1, my - r - 1, mx + r + 1, my + r + 1}, Scaled(1), r + 1, kMarkShadow);
    target.DrawBorder({mx - r, my - r, mx + r, my + r}, Scaled(2), r, kMarkColor);
    if (!bar.IsEmpty()) {
        const int bx = bar.left + static_cast<int>(std::lround(value_ * std::max(0, bar.Width() - 1)));
        const int w = Scaled(3);
        target.FillRect({bx - w, bar.top - Scaled(2), bx + w, bar.bottom + Scaled(2)}, kMarkShadow);
        target.FillRect({bx - w + 1, bar.top - Scaled(1), bx + w - 1, bar.bottom + Scaled(1)}, kMarkColor);
    }
}

AttrResult CColorPaletteUI::SetAttribute(std::string_view name, std::string_view value) {
    using P = CColorPaletteUI;
    static const AttrTable<P> table = {
        {"barheight", [](P& p, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { p.SetBarHeight(n); }); }},
        {"selectcolor", [](P& p, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB c) { p.SetSelectColor(c); }); }},
        {"cellsize", [](P& p, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { p.cell_ = std::max(1, n); p.Invalidate(); }); }},
    };
    if (auto r = ApplyAttr(table, *this, name, value)) return *r;
    return CControlUI::SetAttribute(name, value);
}

}  // namespace q208
