#pragma once

#include <array>

#include "platform/Paths.h"

namespace q208 {

// The main window's message endpoint.
inline constexpr const char* kMainWindowClass = "MainWnd";
inline constexpr const char* kMainWindowTitle = kProductTitle;

// Registered under the window title: a second copy sends it with lParam 1 to bring the
// running copy to the front; the detection thread posts it with lParam 0.
inline constexpr const char* kProductMessageName = kProductTitle;

// The companion messages, by index. The fifth really ends in "EBE19"; other programs
// register it with that spelling, so it must stay.
inline constexpr std::array<const char*, 5> kCompanionMessageNames{
    "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}",  // 0: update progress, forwarded to the settings window
    "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}",  // 1: broadcast: this program takes (1) or releases (0) the lighting
    "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}",  // 2: another program asks to take (1) or release (0) the lighting
    "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}",  // 3: send the model list to the "WorkTool" window
    "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}",  // 4: audio-lighting control for the recorder window
};

}  // namespace q208
