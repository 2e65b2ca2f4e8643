#include "sim/SimKeyboard.h"

#include <array>

#include "sim/SimInfoBlock.h"

namespace q208::sim {
namespace {

constexpr uint16_t kProductId = 0x7C13;
constexpr uint8_t kHostKindKeyboard = 1;

constexpr std::size_t kConfigSize =
    (SimKeyboard::kLightingEntries - 1) * SimKeyboard::kEntryStride + SimKeyboard::kRecordSize;

// Factory lighting of the entries, cycled: effect code, brightness, speed level, colour
// cycle, RGB.
struct EntryDefault {
    uint8_t effect;
    uint8_t brightness;
    uint8_t speed;
    uint8_t colourCycle;
    uint8_t red, green, blue;
};
constexpr EntryDefault kEntryDefaults[] = {
    {1, 4, 2, 1, 0xFF, 0x00, 0x00},
    {4, 3, 2, 0, 0x00, 0xFF, 0x00},
    {5, 4, 0, 0, 0x00, 0x80, 0xFF},
    {10, 2, 4, 1, 0xFF, 0xFF, 0xFF},
};
constexpr uint8_t kPollingRateCode = 1;

void WriteEntry(std::vector<uint8_t>& area, std::size_t entry) {
    const EntryDefault& d = kEntryDefaults[entry % std::size(kEntryDefaults)];
    uint8_t* record = area.data() + entry * SimKeyboard::kEntryStride;
    record[1] = d.effect;
    record[2] = d.brightness;
    record[3] = static_cast<uint8_t>(4 - d.speed);
    record[4] = 0;  // direction
    record[5] = d.colourCycle;
    record[6] = d.red;
    record[7] = d.green;
    record[8] = d.blue;
    record[22] = kPollingRateCode;
    record[25] = 0;  // custom light slot (also byte 0 of the next entry)
}

std::vector<uint8_t> DefaultConfig() {
    std::vector<uint8_t> area(kConfigSize, 0);
    for (std::size_t entry = 0; entry < SimKeyboard::kLightingEntries; ++entry) {
        WriteEntry(area, entry);
    }
    area[0] = 0;  // entry 0 is active
    return area;
}

std::vector<uint8_t> DefaultKeyMap() {
    std::vector<uint8_t> map;
    map.reserve(kSimKeyboardKeyCount * 3);
    for (const SimKeyboardKey& key : SimKeyboardKeys()) {
        map.insert(map.end(), {key.type, key.first, key.second});
    }
    return map;
}

std::vector<uint8_t> DefaultLedMap() {
    std::vector<uint8_t> map;
    map.reserve(kSimKeyboardKeyCount);
    for (const SimKeyboardKey& key : SimKeyboardKeys()) {
        map.push_back(key.led);
    }
    return map;
}

SimInfoBlock KeyboardInfo() {
    SimInfoBlock info;
    info.productId = kProductId;
    info.hostKindCode = kHostKindKeyboard;
    info.keyCount = static_cast<uint8_t>(kSimKeyboardKeyCount);
    info.macroUnits = SimKeyboard::kMacroUnits;
    return info;
}

}  // namespace

SimKeyboard::SimKeyboard() : SimFirmware(SimDeviceKind::Keyboard) {
    DefineArea(SimArea::Info, KeyboardInfo().ToBytes());
    DefineArea(SimArea::Config, DefaultConfig());
    DefineArea(SimArea::KeyMap, DefaultKeyMap());
    DefineArea(SimArea::LedMap, DefaultLedMap());
    // 85 %, on battery, wireless.
    DefineArea(SimArea::Status, {85, 2, 0, 1, 0, 0});
    DefineArea(SimArea::CustomSlots, std::vector<uint8_t>(kCustomSlotCount * kCustomSlotStride, 0));
    DefineArea(SimArea::LiveFrame, std::vector<uint8_t>(kLiveFrameSize, 0));
    DefineArea(SimArea::MacroData, std::vector<uint8_t>(std::size_t{kMacroUnits} * 128, 0));
}

uint8_t SimKeyboard::ActiveEntry() const { return Config()[0]; }

std::vector<uint8_t> SimKeyboard::LightingRecord(std::size_t entry) const {
    const std::vector<uint8_t> area = Config();
    const std::size_t start = entry * kEntryStride;
    if (entry >= kLightingEntries || start + kRecordSize > area.size()) {
        return {};
    }
    return {area.begin() + static_cast<std::ptrdiff_t>(start),
            area.begin() + static_cast<std::ptrdiff_t>(start + kRecordSize)};
}

std::vector<uint8_t> SimKeyboard::CustomSlot(std::size_t slot) const {
    const std::vector<uint8_t> slots = CustomSlots();
    if (slot >= kCustomSlotCount) {
        return {};
    }
    const auto start = slots.begin() + static_cast<std::ptrdiff_t>(slot * kCustomSlotStride);
    return {start, start + kCustomFrameSize};
}

void SimKeyboard::SwitchLightingEntry(uint8_t entry) {
    if (entry >= kLightingEntries) {
        return;
    }
    const std::array<uint8_t, 1> active = {entry};
    Poke(SimArea::Config, 0, active);
    EmitEvent(static_cast<uint16_t>(0x1000 | entry));
}

}  // namespace q208::sim
