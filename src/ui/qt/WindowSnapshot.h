#pragma once

#include <string>

namespace q208 {

class CPaintManagerUI;

// Paints a window's control tree at its current client size into a PNG file, the same way
// the screen shows it. False with the reason in `error` when there is nothing to paint or
// the file cannot be written. Needs the Qt application.
bool SaveWindowPng(CPaintManagerUI& manager, const std::string& file, std::string* error);

}  // namespace q208
