#include "sim/SimKeyboard.h"

#include <array>
#include <ostream>

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
    {6, 4, 2, 0, 0x00, 0xFF, 0xFF},  // reactive: keys light up as they are pressed
};
constexpr uint8_t kPollingRateCode = 1;

namespace Record {
constexpr std::size_t SubMode = 18;
}  // namespace Record

// Named bytes of a lighting record, for the text view of the area.
struct RecordField {
    const char* name;
    std::size_t offset;
};
constexpr RecordField kRecordFields[] = {
    {"effect", 1},    {"brightness", 2}, {"inverse-speed", 3}, {"direction", 4}, {"colour-cycle", 5},
    {"red", 6},       {"green", 7},      {"blue", 8},          {"sub-mode", 18}, {"w-flag", 19},
    {"six-key", 20},  {"win-key", 21},   {"polling", 22},      {"custom-slot", 25},
};

// The key collection's report: id, modifier bits, one bit per key usage 0x00 … 0x77.
constexpr uint8_t kKeyReportId = 1;
constexpr std::size_t kKeyReportSize = 1 + 1 + 15;
constexpr uint8_t kKeyUsageLimit = 0x78;
constexpr uint8_t kKeyCodeType = 0x20;  // a key-map code of type 0x20 is (modifiers, usage)
constexpr uint8_t kConsumerReportId = 3;

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

std::optional<uint8_t> SimKeyboard::DeviceKeyOfRow(uint8_t tableRow) {
    const auto keys = SimKeyboardKeys();
    for (std::size_t index = 0; index < keys.size(); ++index) {
        if (keys[index].tableRow == tableRow) return static_cast<uint8_t>(index);
    }
    return std::nullopt;
}

bool SimKeyboard::StrokeKey(uint8_t deviceKey, bool down) {
    if (deviceKey >= kSimKeyboardKeyCount) {
        return false;
    }
    std::vector<uint8_t> report;
    {
        std::lock_guard lock(keysMutex_);
        held_.set(deviceKey, down);
        report = KeyReport();
    }
    EmitInput(report);
    EmitEvent(static_cast<uint16_t>((down ? 0x0500 : 0x0600) | deviceKey));
    return true;
}

// The report follows the factory codes: a key the host remapped still sends its own usage,
// as the key collection is the keyboard's, not the host's.
std::vector<uint8_t> SimKeyboard::KeyReport() const {
    std::vector<uint8_t> report(kKeyReportSize, 0);
    report[0] = kKeyReportId;
    const auto keys = SimKeyboardKeys();
    for (std::size_t index = 0; index < keys.size(); ++index) {
        const SimKeyboardKey& key = keys[index];
        if (!held_.test(index) || key.type != kKeyCodeType) continue;
        report[1] |= key.first;
        if (key.second != 0 && key.second < kKeyUsageLimit) {
            report[2 + key.second / 8] |= static_cast<uint8_t>(1u << (key.second % 8));
        }
    }
    return report;
}

void SimKeyboard::StrokeConsumerKey(uint16_t usage) {
    const std::array<uint8_t, 3> press = {kConsumerReportId, static_cast<uint8_t>(usage & 0xFF),
                                          static_cast<uint8_t>(usage >> 8)};
    const std::array<uint8_t, 3> release = {kConsumerReportId, 0, 0};
    EmitInput(press);
    EmitInput(release);
}

void SimKeyboard::SwitchLightingEntry(uint8_t entry, uint8_t subMode) {
    if (entry >= kLightingEntries || subMode > 0x0F) {
        return;
    }
    const std::array<uint8_t, 1> active = {entry};
    const std::array<uint8_t, 1> sub = {subMode};
    Poke(SimArea::Config, 0, active);
    Poke(SimArea::Config, entry * kEntryStride + Record::SubMode, sub);
    EmitEvent(static_cast<uint16_t>(0x1100 | (subMode << 4) | entry));
}

void SimKeyboard::DescribeConfig(std::ostream& out) const {
    out << "active-entry " << int{ActiveEntry()} << '\n';
    for (std::size_t entry = 0; entry < kLightingEntries; ++entry) {
        const std::vector<uint8_t> record = LightingRecord(entry);
        out << "entry " << entry << ':';
        for (const RecordField& field : kRecordFields) out << ' ' << field.name << '=' << int{record[field.offset]};
        out << '\n';
    }
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
