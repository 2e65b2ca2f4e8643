#include "app/GameLighting.h"

#include "devices/base/CVantorixUSBDevice.h"

namespace q208 {

namespace {

constexpr WPARAM kReplaceWord = 0;

// The light setting's first four bytes as one little-endian word.
void SetFirstWord(LightState& light, uint32_t word) {
    light.effect = static_cast<uint8_t>(word);
    light.brightnessLevel = static_cast<uint8_t>(word >> 8);
    light.speedLevel = static_cast<uint8_t>(word >> 16);
    light.direction = static_cast<uint8_t>(word >> 24);
}

}  // namespace

bool GameLighting::Apply(CVantorixUSBDevice& device, WPARAM wParam, LPARAM lParam) {
    LightState light = device.GetLightState();
    if (!stored_ || stored_->life.expired() || stored_->device != &device) {
        stored_ = Stored{&device, device.Lifetime(), light};
    }
    if (wParam == kReplaceWord) SetFirstWord(light, static_cast<uint32_t>(lParam));
    else if (wParam == 1 || wParam == 2) light.effect = static_cast<uint8_t>(lParam);
    else return false;
    device.SetLightState(light);
    device.WriteLightingToDevice();
    return true;
}

void GameLighting::Restore() {
    if (!stored_) return;
    const Stored stored = *stored_;
    stored_.reset();
    if (stored.life.expired()) return;
    stored.device->SetLightState(stored.light);
    stored.device->WriteLightingToDevice();
    stored.device->RefreshStatus();
}

}  // namespace q208
