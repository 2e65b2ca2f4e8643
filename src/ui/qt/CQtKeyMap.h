#pragma once

#include "ui/UiTypes.h"

namespace q208 {

// The window layer's key code (VK_* of UiDefs.h, upper-case letters and digits) of a
// Qt key; 0 for keys the layer has no code for.
UINT VirtualKeyFromQt(int qtKey);

}  // namespace q208
