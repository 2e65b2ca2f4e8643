#pragma once

#include <memory>
#include <optional>

#include "devices/lighting/LightState.h"
#include "ui/UiTypes.h"

namespace q208 {

class CVantorixUSBDevice;

// The brief lighting of a game event on the current device, and the lighting it replaced,
// which comes back when the restore timer expires. A second event during the delay keeps
// the lighting stored by the first.
class GameLighting {
public:
    // wParam 0 replaces the light setting's first 32-bit word with lParam, 1 and 2 its first
    // byte; the setting is written to the device. False when nothing changed (other wParam).
    bool Apply(CVantorixUSBDevice& device, WPARAM wParam, LPARAM lParam);
    // Writes the stored lighting back, unless its device is gone meanwhile.
    void Restore();

private:
    struct Stored {
        CVantorixUSBDevice* device = nullptr;
        std::weak_ptr<int> life;
        LightState light;
    };
    std::optional<Stored> stored_;
};

}  // namespace q208
