#include "devices/lighting/LightInfoConversion.h"

#include <algorithm>

namespace q208 {

namespace {
// Levels above this index past the renderers' tables.
constexpr uint8_t kMaxLevel = 4;
uint8_t Level(uint8_t value) { return std::min(value, kMaxLevel); }
}  // namespace

LightState LightStateOf(const LightInfoRecord& info) {
    LightState light;
    light.effect = info.selectItem;
    light.brightnessLevel = Level(info.light);
    light.speedLevel = Level(info.speed);
    light.direction = info.fx;
    light.colourCycle = info.multiColor;
    light.red = info.red;
    light.green = info.green;
    light.blue = info.blue;
    return light;
}

void StoreLightState(const LightState& light, LightInfoRecord& info) {
    info.selectItem = light.effect;
    info.light = light.brightnessLevel;
    info.speed = light.speedLevel;
    info.fx = light.direction;
    info.multiColor = light.colourCycle;
    info.red = light.red;
    info.green = light.green;
    info.blue = light.blue;
}

}  // namespace q208
