#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "devices/lighting/KeyboardEffectList.h"
#include "profile/ProfileRecords.h"

namespace q208 {

// The mouse's 87-byte settings block, one of several in its setting area at n × 128 (byte 0
// of the area names the active block n). The block carries the lighting, the polling
// rate, the seven DPI stages (as steps), the sleep times and the logo LED mode.
struct MouseSettingsBlock {
    static constexpr size_t kSize = 87;
    static constexpr size_t kStride = 128;
    static constexpr size_t kStageCount = 7;
    static constexpr size_t kStageSize = 9;
    static constexpr int kPollingOptions = 5;
    // Profile mode indexes above this have no LED mode of their own: mode 0 is sent.
    static constexpr int kHighestModeIndex = 11;

    // Byte offsets.
    static constexpr size_t kValue = 0;
    static constexpr size_t kLedMode = 1;
    static constexpr size_t kBrightness = 2;
    static constexpr size_t kInvertedSpeed = 3;  // the mouse counts speed the other way round
    static constexpr size_t kDirection = 4;
    static constexpr size_t kMulticolour = 5;
    static constexpr size_t kRed = 6;
    static constexpr size_t kGreen = 7;
    static constexpr size_t kBlue = 8;
    static constexpr size_t kInvertedPolling = 11;
    static constexpr size_t kActiveStage = 12;
    static constexpr size_t kStages = 14;
    static constexpr size_t kBleSleep1 = 77;
    static constexpr size_t kBleSleep2 = 78;
    static constexpr size_t kDeviceSleep1 = 79;
    static constexpr size_t kDeviceSleep2 = 80;
    static constexpr size_t kLogoMode = 86;
    static constexpr uint8_t kSpeedBase = 4;
    static constexpr uint8_t kPollingBase = 3;

    using Bytes = std::array<uint8_t, kSize>;

    // What the block says, in profile terms.
    struct Decoded {
        LightInfoRecord light;  // mode index, brightness, speed, multicolour, colour
        uint8_t ledCode = 0;    // byte 1 as sent
        uint16_t pollingIndex = 0;
        uint16_t bleSleep1 = 0, bleSleep2 = 0, deviceSleep1 = 0, deviceSleep2 = 0;
        uint16_t logoMode = 0;
        uint8_t activeStage = 0;
        std::array<DpiStage, kStageCount> stages{};
    };

    // The block from the profile's records; `modes` maps a mode index to its LED code.
    static Bytes Encode(const LightInfoRecord& light, const std::vector<DpiStage>& stages,
                        const MouseSettingsRecord& settings, int activeStage, const KeyboardEffectList& modes,
                        uint8_t value = 0);
    // The block read back. A code in no mode entry stays as the mode index; the direction
    // is not taken (the caller keeps its own).
    static Decoded Decode(const Bytes& block, const KeyboardEffectList& modes);
    // Byte 11 is 3 − option; 8-bit arithmetic, so option 4 is 0xFF and a byte giving an
    // option past the five shows option 0.
    static uint16_t PollingIndexOf(uint8_t invertedPolling);
    static uint16_t ShownPollingOption(uint16_t pollingIndex);
    // The LED code for a profile mode index.
    static uint8_t LedCodeOf(int modeIndex, const KeyboardEffectList& modes);
    // Applies what was read to the profile's settings: lighting and polling, sleep and logo;
    // double-click, pointer and wheel settings keep their values.
    static void ApplyTo(const Decoded& decoded, MouseSettingsRecord& settings);
};

}  // namespace q208
