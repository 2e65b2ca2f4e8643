#pragma once

#include <optional>
#include <vector>

#include "devices/lighting/KeyColour.h"
#include "devices/lighting/LightState.h"

namespace q208 {

inline constexpr int kMaxEffectFrames = 100000;

// Renders count animation steps of keyboard effect number `effect` from the given light
// state (its effect field is replaced) and returns the 170 per-key colours after each
// step. Time advances by one render interval per step; reactive effects get a key press
// in the middle of the board before the first step and its release after it. None for an
// effect without a renderer or a count outside 0 … kMaxEffectFrames.
std::optional<std::vector<std::vector<KeyColour>>> RenderEffectFrames(int effect, int count,
                                                                      LightState light = {});

}  // namespace q208
