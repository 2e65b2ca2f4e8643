#pragma once

#include "ui/CWindowWnd.h"

namespace q208 {

// Input handed to a window's Qt widget the way the desktop hands it over, for scripts that
// drive a running program: a left click at a client position (outside the window too, as
// an open pop-up receives every press) and a key press and release, given to the widget
// that has Qt's focus in the window (the text field over an edit, say). False when the
// window has no Qt surface or the key is not one of Escape, Return, Space, Tab, the arrows,
// Home, End, Page Up and Page Down. `shift` holds Shift down (Shift+Tab).
bool SendClickTo(CWindowWnd& window, UiPoint client);
bool SendKeyTo(CWindowWnd& window, UINT virtualKey, bool shift = false);
// The same key to the native modal dialog open now (a file or colour dialog); false when
// none is open or the key is not one of those above.
bool SendKeyToModalDialog(UINT virtualKey, bool shift = false);
// A press and release of the physical key with this Linux input key code (its native scan
// code is the code plus 8, as X11 and Wayland report it), to the widget that has the
// keyboard: the one grabbing it, else the window's. False without a Qt surface.
bool SendPhysicalKeyTo(CWindowWnd& window, unsigned evdevCode);

}  // namespace q208
