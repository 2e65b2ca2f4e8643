#include "ui/PopupPlacement.h"

#include <algorithm>

namespace q208 {

namespace {

// Moves [start, start + length) inside [low, high); a length larger than the range keeps
// its start at `low`.
int Clamp(int start, int length, int low, int high) { return std::max(low, std::min(start, high - length)); }

}  // namespace

UiRect PlaceBeside(const UiRect& anchor, UiSize size, const UiRect& area) {
    int top = anchor.bottom;
    if (top + size.cy > area.bottom && anchor.top - size.cy >= area.top) top = anchor.top - size.cy;
    const int left = Clamp(anchor.right - size.cx, size.cx, area.left, area.right);
    top = Clamp(top, size.cy, area.top, area.bottom);
    return {left, top, left + size.cx, top + size.cy};
}

}  // namespace q208
