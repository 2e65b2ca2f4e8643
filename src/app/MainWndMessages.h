#pragma once

#include "app/ShellMessages.h"
#include "sim/SimControl.h"

#include "ui/UiDefs.h"

namespace q208 {

// Window messages of the main window with fixed numbers are in ShellMessages.h.
inline constexpr UINT kTrayMessage = WM_TRAY_NOTIFY;
inline constexpr UINT kMenuMessage = WM_MENU_RESULT;
// The detection thread queued an arrival or removal (internal to the process).
inline constexpr UINT WM_DETECTION_WORK = WM_APP + 0x20;
// Another program's data block is waiting in the inbox (internal to the process).
inline constexpr UINT WM_ENDPOINT_DATA = WM_APP + 0x21;

// Registered by name: plugs, unplugs and links emulated devices of a simulating instance.
using sim::kSimControlMessageName;

// Timers of the main window.
inline constexpr UINT kTimerDpiFit = 1011;
inline constexpr UINT kTimerTrayMenu = 1032;
inline constexpr UINT kTimerProfileSwitch = 1055;
inline constexpr UINT kTimerLightRestore = 1066;
inline constexpr UINT kTimerReceiverPoll = 1068;
// Checks whether every shown device has been read once (the settled notice).
inline constexpr UINT kTimerSettle = 1090;
// Follows whether a keyboard runs the music pattern: starts or stops the music recorder.
inline constexpr UINT kTimerMusicMode = 1095;
inline constexpr UINT kMusicModeCheckMs = 500;

// Tray pointer messages.
inline constexpr LPARAM kTrayLeftUp = 514;
inline constexpr LPARAM kTrayRightUp = 517;

}  // namespace q208
