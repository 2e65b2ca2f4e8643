#pragma once

#include "ui/UiTypes.h"

namespace q208 {

// Where a pop-up of `size` opens beside the control that opened it (`anchor`, screen
// coordinates): just below it with the right edges aligned, so that a button of a title
// bar opens it towards the window; above the anchor when there is no room below; always
// moved inside `area` (the work area of the anchor's monitor).
UiRect PlaceBeside(const UiRect& anchor, UiSize size, const UiRect& area);

}  // namespace q208
