#pragma once

#include "devices/base/DeviceMessages.h"
#include "ui/UiDefs.h"

namespace q208 {

// Window messages private to this program (fixed numbers, not registered).
inline constexpr UINT WM_SHOW_PROGRESS = 3072;
inline constexpr UINT WM_LANGUAGE_SELECT = 3089;     // settings window ⇄ main window; wParam = language index
inline constexpr UINT WM_DEVICE_ARRIVAL = 3090;
inline constexpr UINT WM_DEVICE_REMOVAL = 3091;
inline constexpr UINT WM_OPEN_SETTINGS = 3093;
inline constexpr UINT WM_CLEAR_UPDATE_MARK = 3094;
inline constexpr UINT WM_IGNORED_3330 = 3330;
inline constexpr UINT WM_HOOK_CONTROL = 1054;
inline constexpr UINT WM_TRAY_NOTIFY = 1025;  // lParam: WM_LBUTTONUP (514) or WM_RBUTTONUP (517)
inline constexpr UINT WM_MENU_RESULT = 1145;

// The system's suspend and resume notices (wParam = the event).
inline constexpr UINT WM_POWERBROADCAST = 0x0218;
inline constexpr WPARAM PBT_APMSUSPEND = 4;
inline constexpr WPARAM PBT_APMRESUMEAUTOMATIC = 18;

}  // namespace q208
