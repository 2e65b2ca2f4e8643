#pragma once

#include <functional>

#include "ui/UiTypes.h"

namespace q208 {

class CControlUI;
class CShootControlUI;
class CVantorixMouseDevice;

// The fire-key editor inside a device page, or null when the page has none.
CShootControlUI* ShootPanelOf(CControlUI* page);

// Gives the mouse page's fire-key editor its folders and the main window's dialogs and
// starts it (the gun files are created from the factory copies when missing).
void StartShootPanel(CVantorixMouseDevice& mouse, HWND owner, std::function<int()> dpi);

}  // namespace q208
