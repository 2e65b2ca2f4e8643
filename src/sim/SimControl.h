#pragma once

// How another program drives the emulated devices of a simulating q208 at run time.
//
// The verbs (SimVerbs) go to an endpoint of their own, class kSimEndpointClass with the
// main window's title, that only a simulating copy opens: a data block of kind kSimVerbData
// holds one verb line (UTF-8, at most kMaxSimVerbBytes); the reply's result is the verb's
// status and its data the verb's text output.
//
// The older registered message "Q208_SIM_CONTROL" to the main window still plugs, unplugs
// and links: the action in wParam, the emulated device kind (SimDeviceKind) in lParam.

#include <cstddef>
#include <cstdint>

namespace q208::sim {

inline constexpr const char* kSimEndpointClass = "Q208Sim";
inline constexpr uint64_t kSimVerbData = 0x5157;
inline constexpr std::size_t kMaxSimVerbBytes = 4096;

// Verbs the endpoint of a running q208 also takes, about its window rather than the devices.
inline constexpr const char* kSimWindowVerbSynopsis[] = {
    "screenshot [WINDOW/]FILE (the main window, or WINDOW skin or settings, as a PNG; a running q208 only)",
    "probe [WINDOW/]CONTROL (the mean colour of a control of the main window, or of WINDOW skin or settings, "
    "rrggbb; a running q208 only)",
    "click [WINDOW/]CONTROL (a click on a control of the main window, or of WINDOW skin or settings; "
    "skin/outside presses beside the skin frame; a running q208 only)",
    "key WINDOW/escape|WINDOW/KEY (Escape in main, skin or settings; KEY a key of the key table, e.g. main/A or "
    "main/RAlt, pressed and released as the physical key; a running q208 only)",
    "window WINDOW|minimize|restore|paints (main, skin or settings: 'WINDOW WxH+X+Y dpi D shown 0|1 max 0|1'; "
    "minimize or restore the main window; paints: 'paints N AREA', how often and how many pixels it was painted; "
    "a running q208 only)",
    "text [WINDOW/]CONTROL (the text a control shows, in the language applied; a running q208 only)",
};

inline constexpr const char* kSimControlMessageName = "Q208_SIM_CONTROL";

enum SimControlAction : int { kSimPlug = 0, kSimUnplug = 1, kSimLink = 2, kSimUnlink = 3 };

struct SimControlActionName {
    SimControlAction action;
    const char* name;
};

inline constexpr SimControlActionName kSimControlActionNames[] = {
    {kSimPlug, "plug"}, {kSimUnplug, "unplug"}, {kSimLink, "link"}, {kSimUnlink, "unlink"}};

}  // namespace q208::sim
