#pragma once

#include "ui/UiTypes.h"

namespace q208 {

// Where a pop-up of `size` opens beside the control that opened it (`anchor`, screen
// coordinates): just below it with the right edges aligned, so that a button of a title
// bar opens it towards the window; above the anchor when there is no room below; always
// moved inside `area` (the work area of the anchor's monitor).
UiRect PlaceBeside(const UiRect& anchor, UiSize size, const UiRect& area);

// A drop-down list: below the anchor with the left edges aligned, above it when there is
// no room below, moved inside `area`.
UiRect PlaceBelow(const UiRect& anchor, UiSize size, const UiRect& area);

// A menu at the pointer: its top-left corner at `point`; towards the left or upwards when
// it would leave `area` that way, so that it never covers the point it opened at.
UiRect PlaceAtPoint(UiPoint point, UiSize size, const UiRect& area);

// A sub-menu beside the item that opens it: to the right of the item, on the left side of
// the parent menu when there is no room on the right, its top at the item's top.
UiRect PlaceSubmenu(const UiRect& item, UiSize size, const UiRect& area);

}  // namespace q208
