#pragma once

#include "ui/UiDefs.h"

namespace q208 {

// Messages device objects and their entries send to the main window.
// Show (lParam 1) or hide (lParam 0) the entry with index wParam in the device list: a device
// behind the receiver shows its entry once it answers.
inline constexpr UINT WM_DEVICE_OPTION = 3331;
// Power status read from a device: wParam = byte 4 of its status block.
inline constexpr UINT WM_DEVICE_POWER_STATUS = 3329;
// A lighting block was read from a device (mouse pad, headset): wParam = its block number.
inline constexpr UINT WM_DEVICE_LIGHTING_READ = 3328;

}  // namespace q208
