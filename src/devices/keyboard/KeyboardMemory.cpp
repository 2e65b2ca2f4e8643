#include "devices/keyboard/KeyboardMemory.h"

#include <algorithm>
#include <vector>

#include "device/DeviceResult.h"

namespace q208 {

KeyboardMemory::KeyboardMemory() {
    for (auto& entry : tableToKey_) entry.store(kNoKey);
    for (auto& entry : tableToLed_) entry.store(kNoKey);
}

int KeyboardMemory::ReadInfo(CDeviceCommands& commands) {
    // A chunked read that fails half-way has filled part of its buffer; the block the host
    // knows is replaced only by a complete one.
    InfoBlock info{};
    const int result = commands.ReadDeviceInfo(info);
    if (result == kResultOk) info_ = info;
    return result;
}

bool KeyboardMemory::HasKeyMapFor(int keyCount) const { return copyKeyCount_ > 0 && copyKeyCount_ == keyCount; }

int KeyboardMemory::ReadAll(CDeviceCommands& commands, CDeviceChannel& channel) {
    if (!channel.IsOpen()) return 0;
    int result = commands.BeginConfig();
    const int info = ReadInfo(commands);
    if (result == kResultOk) result = info;
    if (info != kResultOk) {
        commands.EndConfig();
        return result;
    }
    if (!channel.SetDataSize(static_cast<uint32_t>(KeyCount()) * kBytesPerKey)) return result;

    Copy keyMap{}, ledMap{};
    const int keys = commands.ReadKeyMap(keyMap);
    const int leds = keys == kResultOk ? commands.ReadLedMap(ledMap) : keys;
    const int end = commands.EndConfig();
    if (keys == kResultOk && leds == kResultOk) {
        keyMap_ = keyMap;
        ledMap_ = ledMap;
        copyKeyCount_ = KeyCount();
        BuildMaps();
    }
    // A failed read keeps the copies and maps of the last good one: a key-map write starts
    // from the copy, and a copy of zeros would wipe the keyboard's assignments.
    for (int step : {keys, leds, end}) {
        if (result == kResultOk) result = step;
    }
    return result;
}

void KeyboardMemory::SetCopies(const InfoBlock& info, const Copy& keyMap, const Copy& ledMap) {
    info_ = info;
    keyMap_ = keyMap;
    ledMap_ = ledMap;
    copyKeyCount_ = KeyCount();
    BuildMaps();
}

void KeyboardMemory::BuildMaps() {
    const int keyCount = std::min<int>(KeyCount(), kCopySize / kBytesPerKey);
    for (int row = 0; row < kKeyTableRows; ++row) {
        const KeyTableRow& entry = KeyboardKeyTable[row];
        const KeyCode& code = entry.code;
        uint8_t key = kNoKey;
        // Rows without a key share the "no key" code with every disabled device key; they
        // must not take that key's LED or its events.
        for (int k = 0; entry.hasKey && k < keyCount; ++k) {
            const uint8_t* bytes = &keyMap_[static_cast<size_t>(k) * kBytesPerKey];
            if (bytes[0] == code.type && bytes[1] == code.first && bytes[2] == code.second) {
                key = static_cast<uint8_t>(k);
                break;
            }
        }
        tableToKey_[row].store(key);
        tableToLed_[row].store(key == kNoKey ? kNoKey : ledMap_[key]);
    }
}

// A reassigned key no longer carries its row's factory code: the profile's assignment finds
// it, when exactly one device key without a row holds that code.
void KeyboardMemory::MapAssignedRows(std::span<const KeyAssignmentRecord> assignments) {
    const int keyCount = std::min<int>(KeyCount(), kCopySize / kBytesPerKey);
    std::vector<bool> taken(static_cast<size_t>(std::max(keyCount, 0)), false);
    for (int row = 0; row < kKeyTableRows; ++row) {
        if (const uint8_t key = tableToKey_[row].load(); key != kNoKey && key < taken.size()) taken[key] = true;
    }
    for (const KeyAssignmentRecord& record : assignments) {
        const int row = record.current.index;
        if (row < 0 || row >= kKeyTableRows || !KeyboardKeyTable[row].hasKey || tableToKey_[row].load() != kNoKey) continue;
        const KeyAssignmentHalf& now = record.current;
        int found = -1;
        int matches = 0;
        for (int k = 0; k < keyCount; ++k) {
            const uint8_t* bytes = &keyMap_[static_cast<size_t>(k) * kBytesPerKey];
            if (!taken[k] && bytes[0] == now.type && bytes[1] == now.param1 && bytes[2] == now.param2) {
                found = k;
                ++matches;
            }
        }
        if (matches != 1) continue;
        taken[found] = true;
        tableToKey_[row].store(static_cast<uint8_t>(found));
        tableToLed_[row].store(ledMap_[found]);
    }
}

uint8_t KeyboardMemory::TableToKey(int row) const {
    return row >= 0 && row < kKeyTableRows ? tableToKey_[row].load() : kNoKey;
}

uint8_t KeyboardMemory::TableToLed(int row) const {
    return row >= 0 && row < kKeyTableRows ? tableToLed_[row].load() : kNoKey;
}

std::optional<int> KeyboardMemory::RowOfDeviceKey(uint8_t deviceKey) const {
    if (deviceKey == kNoKey) return std::nullopt;  // 255 marks rows without a key
    for (int row = 0; row < kKeyTableRows; ++row) {
        if (tableToKey_[row].load() == deviceKey) return row;
    }
    return std::nullopt;
}

std::array<uint8_t, kKeyTableRows> KeyboardMemory::TableToLedMap() const {
    std::array<uint8_t, kKeyTableRows> map{};
    for (int row = 0; row < kKeyTableRows; ++row) map[row] = tableToLed_[row].load();
    return map;
}

}  // namespace q208
