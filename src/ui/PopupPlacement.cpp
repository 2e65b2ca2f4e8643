#include "ui/PopupPlacement.h"

#include <algorithm>

namespace q208 {

namespace {

// Moves [start, start + length) inside [low, high); a length larger than the range keeps
// its start at `low`.
int Clamp(int start, int length, int low, int high) { return std::max(low, std::min(start, high - length)); }

// `preferred` when [preferred, preferred + length) fits below `high`, else `fallback` when
// that fits above `low`, else `preferred`; the caller clamps the result.
int FirstFit(int preferred, int fallback, int length, int low, int high) {
    if (preferred + length > high && fallback >= low) return fallback;
    return preferred;
}

UiRect Make(int left, int top, UiSize size, const UiRect& area) {
    left = Clamp(left, size.cx, area.left, area.right);
    top = Clamp(top, size.cy, area.top, area.bottom);
    return {left, top, left + size.cx, top + size.cy};
}

}  // namespace

UiRect PlaceBeside(const UiRect& anchor, UiSize size, const UiRect& area) {
    const int top = FirstFit(anchor.bottom, anchor.top - size.cy, size.cy, area.top, area.bottom);
    return Make(anchor.right - size.cx, top, size, area);
}

UiRect PlaceBelow(const UiRect& anchor, UiSize size, const UiRect& area) {
    const int top = FirstFit(anchor.bottom, anchor.top - size.cy, size.cy, area.top, area.bottom);
    return Make(anchor.left, top, size, area);
}

UiRect PlaceAtPoint(UiPoint point, UiSize size, const UiRect& area) {
    const int left = FirstFit(point.x, point.x - size.cx, size.cx, area.left, area.right);
    const int top = FirstFit(point.y, point.y - size.cy, size.cy, area.top, area.bottom);
    return Make(left, top, size, area);
}

UiRect PlaceSubmenu(const UiRect& item, UiSize size, const UiRect& area) {
    const int left = FirstFit(item.right, item.left - size.cx, size.cx, area.left, area.right);
    return Make(left, item.top, size, area);
}

}  // namespace q208
