#include "devices/keyboard/KeyboardLightingRecord.h"

#include <algorithm>

#include "device/DeviceResult.h"
#include "devices/lighting/LightInfoConversion.h"

namespace q208 {
namespace {

uint8_t Level(uint8_t value) { return std::min(value, KeyboardLightingRecord::kMaxLevel); }

}  // namespace

KeyboardLightingRecord::Bytes KeyboardLightingRecord::Encode(const LightInfoRecord& info,
                                                             const KeyboardSystemRecord& system,
                                                             const KeyboardEffectList& effects,
                                                             uint8_t activeEntry) {
    Bytes record{};
    record[kActiveEntry] = activeEntry;
    record[kEffectCode] = effects.RecordCode(info.selectItem);
    record[kBrightness] = Level(info.light);
    record[kInverseSpeed] = static_cast<uint8_t>(kMaxLevel - Level(info.speed));
    record[kDirection] = info.fx;
    record[kColourCycle] = info.multiColor;
    record[kRed] = info.red;
    record[kGreen] = info.green;
    record[kBlue] = info.blue;
    record[kSubMode] = info.zzccLedMode;
    record[kWFlag] = static_cast<uint8_t>(system.wFlag);
    record[kKey6Flag] = static_cast<uint8_t>(system.key6Flag);
    record[kWinFlag] = static_cast<uint8_t>(system.winFlag);
    record[kPollingRate] = static_cast<uint8_t>(system.pollingRate);
    record[kCustomSlot] = info.customGroup;
    return record;
}

void KeyboardLightingRecord::Decode(const Bytes& record, const KeyboardEffectList& effects, LightInfoRecord& info,
                                    KeyboardSystemRecord& system) {
    info.selectItem = static_cast<uint8_t>(effects.NumberOf(record[kEffectCode], info.selectItem));
    info.light = Level(record[kBrightness]);
    info.speed = static_cast<uint8_t>(kMaxLevel - Level(record[kInverseSpeed]));
    info.fx = record[kDirection];
    info.multiColor = record[kColourCycle];
    info.red = record[kRed];
    info.green = record[kGreen];
    info.blue = record[kBlue];
    info.zzccLedMode = record[kSubMode];
    info.customGroup = record[kCustomSlot];
    system.wFlag = record[kWFlag];
    system.key6Flag = record[kKey6Flag];
    system.winFlag = record[kWinFlag];
}

LightState KeyboardLightingRecord::ToLightState(const LightInfoRecord& info) {
    LightState light = LightStateOf(info);
    light.word2 = info.customGroup;  // the custom light slot
    return light;
}

void KeyboardLightingRecord::ApplyLightState(const LightState& light, LightInfoRecord& info) {
    StoreLightState(light, info);
}

int KeyboardLightingRecord::Read(CDeviceCommands& commands, CDeviceChannel& channel, Bytes& record,
                                 uint8_t& entry) {
    if (!channel.IsOpen()) return 0;
    std::array<uint8_t, 1> active{};
    if (const int r = commands.ReadConfig(active, 0); r != kResultOk) return r;
    Bytes read{};
    if (const int r = commands.ReadConfig(read, static_cast<uint16_t>(active[0] * kEntryStride)); r != kResultOk) {
        return r;
    }
    entry = active[0];
    record = read;
    return kResultOk;
}

int KeyboardLightingRecord::Write(CDeviceCommands& commands, CDeviceChannel& channel, uint8_t entry,
                                  const Bytes& record) {
    if (!channel.IsOpen()) return 0;
    commands.BeginConfig();
    const int result = commands.WriteConfig(record, static_cast<uint16_t>(entry * kEntryStride));
    commands.EndConfig();
    return result;
}

}  // namespace q208
