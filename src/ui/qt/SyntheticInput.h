#pragma once

#include "ui/CWindowWnd.h"

namespace q208 {

// Input handed to a window's Qt widget the way the desktop hands it over, for scripts that
// drive a running program: a left click at a client position (outside the window too, as
// an open pop-up receives every press) and a key press and release. False when the window
// has no Qt surface or the key is not one of Escape and Return.
bool SendClickTo(CWindowWnd& window, UiPoint client);
bool SendKeyTo(CWindowWnd& window, UINT virtualKey);
// A press and release of the physical key with this Linux input key code (its native scan
// code is the code plus 8, as X11 and Wayland report it), to the widget that has the
// keyboard: the one grabbing it, else the window's. False without a Qt surface.
bool SendPhysicalKeyTo(CWindowWnd& window, unsigned evdevCode);

}  // namespace q208
