#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ui/UiTypes.h"

namespace q208 {

class CPaintManagerUI;

// Paints a window's control tree at its current client size into a PNG file, the same way
// the screen shows it. False with the reason in `error` when there is nothing to paint or
// the file cannot be written. Needs the Qt application.
bool SaveWindowPng(CPaintManagerUI& manager, const std::string& file, std::string* error);

// The mean colour (0xRRGGBB) of `rect` as the window paints it now; nothing, with the
// reason, when the window has nothing to paint or the rectangle lies outside it.
std::optional<uint32_t> MeanColourOf(CPaintManagerUI& manager, const UiRect& rect, std::string* error);

}  // namespace q208
