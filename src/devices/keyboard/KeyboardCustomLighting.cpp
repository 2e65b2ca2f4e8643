#include "devices/keyboard/KeyboardCustomLighting.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "device/DeviceResult.h"
#include "devices/keyboard/KeyboardLayout.h"

namespace q208 {

int KeyboardCustomLighting::SwatchNumberOf(const LightState& light) const {
    return FindPaletteIndex(palette_, {light.red, light.green, light.blue}) + 1;
}

void KeyboardCustomLighting::FillCustomColours(bool bright, const LightState& light, std::optional<Store> store) {
    colours_.Update([&](std::span<KeyColour> keys) {
        const size_t rows = std::min<size_t>(keys.size(), kFirstSpareRow);
        for (size_t row = 0; row < rows; ++row) {
            keys[row].red = bright ? light.red : 0;
            keys[row].green = bright ? light.green : 0;
            keys[row].blue = bright ? light.blue : 0;
        }
    });
    if (!bright) {
        paintNumber_ = 0;
    } else if (paintNumber_ == 0) {
        paintNumber_ = SwatchNumberOf(light);
    }
    SendUniformFrame(light);
    StoreColours(store);
}

void KeyboardCustomLighting::ReloadCustomColours(CKeyboardProfiledata& profile, const LightState& light) {
    const int group = profile.GetCustomLightModeGroupIndex();
    const auto stored = profile.GetCustomLightColors(group, static_cast<int>(colours_.Size()));
    colours_.Update([&](std::span<KeyColour> keys) {
        for (size_t row = 0; row < keys.size() && row < stored.size(); ++row) {
            keys[row] = {stored[row].red, stored[row].green, stored[row].blue, stored[row].alpha};
        }
    });
    SendUniformFrame(light);
}

bool KeyboardCustomLighting::PaintKey(int row, const LightState& light, std::optional<Store> store) {
    if (light.effect != kCustomEffect || row < 0 || static_cast<size_t>(row) >= colours_.Size()) return false;
    colours_.Update([&](std::span<KeyColour> keys) {
        keys[row].red = light.red;
        keys[row].green = light.green;
        keys[row].blue = light.blue;
    });
    paintNumber_ = SwatchNumberOf(light);
    StoreColours(store);
    const auto tableToLed = memory_.TableToLedMap();
    const CustomFrame frame = colours_.Read([&](std::span<const KeyColour> keys) {
        return BuildCustomFrame(keys, tableToLed, palette_, PaintedKey{row, paintNumber_.load()});
    });
    WriteFrame(frame, light);
    return true;
}

int KeyboardCustomLighting::SendUniformFrame(const LightState& light) {
    if (light.effect != kCustomEffect) return kResultOk;
    const auto frame = BuildUniformCustomFrame(paintNumber_.load());
    return frame ? WriteFrame(*frame, light) : 0;
}

void KeyboardCustomLighting::StoreColours(const std::optional<Store>& store) {
    if (!store) return;
    std::vector<CustomLightColor> stored;
    for (const KeyColour& key : colours_.Snapshot()) stored.push_back({key.red, key.green, key.blue, key.intensity});
    store->profile.SetCustomLightColors(store->group, stored);
    store->profile.Save();
}

int KeyboardCustomLighting::WriteFrame(const CustomFrame& frame, const LightState& light) {
    const int result = commands_.WriteLightFrame(frame, light.word2, kSlotStride);
    if (result != kResultOk) std::this_thread::sleep_for(std::chrono::milliseconds(kFailurePauseMs));
    return result;
}

}  // namespace q208
