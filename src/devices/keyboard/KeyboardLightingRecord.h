#pragma once

#include <array>
#include <cstdint>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "devices/lighting/KeyboardEffectList.h"
#include "devices/lighting/LightState.h"
#include "profile/ProfileRecords.h"

namespace q208 {

// The keyboard's 26-byte lighting record, entry m of the setting area at m × 25, and its
// translation to and from the profile's "LightInfo" and "SystemStages".
class KeyboardLightingRecord {
public:
    static constexpr size_t kSize = 26;
    static constexpr uint16_t kEntryStride = 25;
    static constexpr uint8_t kMaxLevel = 4;
    using Bytes = std::array<uint8_t, kSize>;

    // Byte positions.
    enum Field : size_t {
        kActiveEntry = 0,
        kEffectCode = 1,
        kBrightness = 2,
        kInverseSpeed = 3,  // 4 − speed level
        kDirection = 4,
        kColourCycle = 5,
        kRed = 6,
        kGreen = 7,
        kBlue = 8,
        kSubMode = 18,
        kWFlag = 19,
        kKey6Flag = 20,
        kWinFlag = 21,
        kPollingRate = 22,
        kCustomSlot = 25,
    };

    // The record for the profile's values; effects whose device code is 29 or 30 are
    // written as 0xFE (the host streams them).
    static Bytes Encode(const LightInfoRecord& info, const KeyboardSystemRecord& system,
                        const KeyboardEffectList& effects, uint8_t activeEntry);
    // Copies the record into the profile's values. The effect number comes from the effect
    // list (0xFE keeps info.selectItem); levels beyond 4 read as 4.
    static void Decode(const Bytes& record, const KeyboardEffectList& effects, LightInfoRecord& info,
                       KeyboardSystemRecord& system);
    // What the renderers need of the profile's lighting.
    static LightState ToLightState(const LightInfoRecord& info);
    // The other way: the light state's values over the profile's.
    static void ApplyLightState(const LightState& light, LightInfoRecord& info);

    // ReadConfig of the active entry (1 byte at 0), then of its record at m × 25. Result 0
    // with a closed channel, else the first device result that was not 1.
    static int Read(CDeviceCommands& commands, CDeviceChannel& channel, Bytes& record, uint8_t& entry);
    // BeginConfig (when the channel is open), WriteConfig at entry × 25, EndConfig. The
    // result of the write itself (0 with a closed channel).
    static int Write(CDeviceCommands& commands, CDeviceChannel& channel, uint8_t entry, const Bytes& record);
};

}  // namespace q208
