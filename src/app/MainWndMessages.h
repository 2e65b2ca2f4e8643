#pragma once

#include "ui/UiDefs.h"

namespace q208 {

// Window messages of the main window with fixed numbers.
inline constexpr UINT WM_DEVICE_ARRIVAL = 3090;
inline constexpr UINT WM_DEVICE_REMOVAL = 3091;
inline constexpr UINT WM_DEVICE_OPTION = 3331;
inline constexpr UINT kTrayMessage = 1025;
inline constexpr UINT kMenuMessage = 1145;
// The detection thread queued an arrival or removal (internal to the process).
inline constexpr UINT WM_DETECTION_WORK = WM_APP + 0x20;
// Another program's data block is waiting in the inbox (internal to the process).
inline constexpr UINT WM_ENDPOINT_DATA = WM_APP + 0x21;

// Registered by name: plugs, unplugs and links emulated devices of a simulating instance
// (wParam: SimControlAction, lParam: emulated device kind).
inline constexpr const char* kSimControlMessageName = "Q208_SIM_CONTROL";
enum SimControlAction : int { kSimPlug = 0, kSimUnplug = 1, kSimLink = 2, kSimUnlink = 3 };

// Timers of the main window.
inline constexpr UINT kTimerDpiFit = 1011;
inline constexpr UINT kTimerTrayMenu = 1032;
inline constexpr UINT kTimerProfileSwitch = 1055;
inline constexpr UINT kTimerLightRestore = 1066;
inline constexpr UINT kTimerReceiverPoll = 1068;

// Tray pointer messages.
inline constexpr LPARAM kTrayLeftUp = 514;
inline constexpr LPARAM kTrayRightUp = 517;

}  // namespace q208
