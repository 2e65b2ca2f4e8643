#pragma once

#include <atomic>
#include <optional>
#include <span>

#include "device/CDeviceCommands.h"
#include "devices/lighting/KeyColourBuffer.h"
#include "devices/keyboard/KeyboardMemory.h"
#include "devices/lighting/LightFrames.h"
#include "devices/lighting/LightState.h"
#include "profile/CKeyboardProfiledata.h"

namespace q208 {

// Per-key custom lighting of effect 18: filling and painting the per-key colours, keeping
// them in a custom light group of the profile, and writing the custom frames to the slot
// of the record's custom light slot. The paint colour number (0 off, n + 1 swatch n) is
// one value for the whole program; the main window sets it on a swatch click.
class KeyboardCustomLighting {
public:
    static constexpr int kCustomEffect = 18;
    static constexpr uint32_t kSlotStride = 512;
    static constexpr int kFailurePauseMs = 200;

    // Where the colours go in the profile: the group, and the profile that is saved.
    // Without one (the lighting panel has no custom-mode drop-down) nothing is stored.
    struct Store {
        CKeyboardProfiledata& profile;
        int group = 0;
    };

    KeyboardCustomLighting(CDeviceCommands& commands, KeyColourBuffer& colours, const KeyboardMemory& memory,
                           std::span<const Rgb> palette = kDefaultPalette)
        : commands_(commands), colours_(colours), memory_(memory), palette_(palette) {}

    int PaintNumber() const { return paintNumber_.load(); }
    void SetPaintNumber(int number) { paintNumber_.store(number); }

    // Every row below 130 gets the light's colour (bright) or black; intensities stay. A
    // bright fill keeps a paint number already chosen, else takes the colour's swatch; a
    // dark fill resets it to 0. Then the uniform frame, then the store.
    void FillCustomColours(bool bright, const LightState& light, std::optional<Store> store);
    // The profile's current custom group becomes the per-key colours; then the uniform frame.
    void ReloadCustomColours(CKeyboardProfiledata& profile, const LightState& light);
    // Paints row k with the light's colour (effect 18 only), stores and saves, then writes
    // the custom frame. False when nothing happened.
    bool PaintKey(int row, const LightState& light, std::optional<Store> store);
    // Effect 18 only: every LED the paint colour's swatch. Result of the write, 1 when not sent.
    int SendUniformFrame(const LightState& light);

private:
    void StoreColours(const std::optional<Store>& store);
    int WriteFrame(const CustomFrame& frame, const LightState& light);
    int SwatchNumberOf(const LightState& light) const;

    CDeviceCommands& commands_;
    KeyColourBuffer& colours_;
    const KeyboardMemory& memory_;
    std::span<const Rgb> palette_;
    std::atomic<int> paintNumber_{0};
};

}  // namespace q208
