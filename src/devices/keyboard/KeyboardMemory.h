#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "devices/keyboard/KeyboardLayout.h"
#include "profile/ProfileRecords.h"

namespace q208 {

// What the host knows of the keyboard's memory: the information block, copies of the key
// map and LED map, and the maps from key-table rows to device key indexes and LEDs that
// are built from them. ReadAll runs on the UI thread; the maps are read by the listener
// and animation threads, so their entries are atomics.
class KeyboardMemory {
public:
    static constexpr size_t kCopySize = 512;
    static constexpr size_t kInfoKeyCount = 5;
    static constexpr size_t kInfoMacroUnits = 6;
    static constexpr uint32_t kMacroUnitBytes = 128;
    static constexpr uint32_t kBytesPerKey = 3;

    using InfoBlock = std::array<uint8_t, CDeviceCommands::kDeviceInfoSize>;
    using Copy = std::array<uint8_t, kCopySize>;

    KeyboardMemory();

    // BeginConfig, information block, data size from the key count, key map, LED map,
    // EndConfig, then the maps. Nothing happens with a closed channel (result 0). A key
    // count the channel refuses, or a key-map or LED-map read that fails, keeps the previous
    // copies and maps. Returns the first device result that was not 1.
    int ReadAll(CDeviceCommands& commands, CDeviceChannel& channel);

    // Re-reads only the information block (before key-map and macro writes); a failed read
    // keeps the previous block.
    int ReadInfo(CDeviceCommands& commands);

    // True when the copies come from a complete read (or SetCopies) of a keyboard with
    // `keyCount` keys, so that a key-map write may start from them.
    bool HasKeyMapFor(int keyCount) const;

    // Builds both maps from the copies (also for tests and tools that set copies directly).
    void BuildMaps();
    // Rows left without a device key because their key was reassigned find it through the
    // profile's assignments (entry index = row); see the definition.
    void MapAssignedRows(std::span<const KeyAssignmentRecord> assignments);
    void SetCopies(const InfoBlock& info, const Copy& keyMap, const Copy& ledMap);

    const InfoBlock& Info() const { return info_; }
    const Copy& KeyMapCopy() const { return keyMap_; }
    const Copy& LedMapCopy() const { return ledMap_; }
    int KeyCount() const { return info_[kInfoKeyCount]; }
    uint32_t MacroCapacity() const { return info_[kInfoMacroUnits] * kMacroUnitBytes; }

    // kNoKey when the row has no device key.
    uint8_t TableToKey(int row) const;
    uint8_t TableToLed(int row) const;
    // The first row whose device key index is `deviceKey`; none when no row maps to it.
    std::optional<int> RowOfDeviceKey(uint8_t deviceKey) const;
    // A snapshot of the table-to-LED map (frame builders).
    std::array<uint8_t, kKeyTableRows> TableToLedMap() const;

private:
    InfoBlock info_{};
    Copy keyMap_{};
    Copy ledMap_{};
    int copyKeyCount_ = 0;  // key count of the read the copies come from; 0: none yet
    std::array<std::atomic<uint8_t>, kKeyTableRows> tableToKey_;
    std::array<std::atomic<uint8_t>, kKeyTableRows> tableToLed_;
};

}  // namespace q208
