#pragma once

// How another program changes the emulated devices of a simulating q208 at run time: the
// registered message "Q208_SIM_CONTROL" with the action in wParam and the emulated device
// kind (SimDeviceKind) in lParam.

namespace q208::sim {

inline constexpr const char* kSimControlMessageName = "Q208_SIM_CONTROL";

enum SimControlAction : int { kSimPlug = 0, kSimUnplug = 1, kSimLink = 2, kSimUnlink = 3 };

struct SimControlActionName {
    SimControlAction action;
    const char* name;
};

inline constexpr SimControlActionName kSimControlActionNames[] = {
    {kSimPlug, "plug"}, {kSimUnplug, "unplug"}, {kSimLink, "link"}, {kSimUnlink, "unlink"}};

}  // namespace q208::sim
