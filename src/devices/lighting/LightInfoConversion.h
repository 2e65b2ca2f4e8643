#pragma once

#include "devices/lighting/LightState.h"
#include "profile/ProfileRecords.h"

namespace q208 {

// The profile's "LightInfo" as the renderers take it, and back: effect, brightness and speed
// levels (at most 4), direction, colour cycle and colour.
LightState LightStateOf(const LightInfoRecord& info);
void StoreLightState(const LightState& light, LightInfoRecord& info);

}  // namespace q208
