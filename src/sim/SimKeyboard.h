#pragma once

#include <bitset>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "sim/SimFirmware.h"
#include "sim/SimKeyboardLayout.h"

namespace q208::sim {

// The emulated 104-key keyboard.
//
// Setting area: byte 0 is the active lighting entry m; entry m is a 26-byte lighting
// record at m × 25 (so its last byte, the custom light slot, shares its place with the
// first byte of entry m + 1). Record: 0 active entry, 1 effect code, 2 brightness 0 … 4,
// 3 4 − speed, 4 direction, 5 colour cycle, 6 … 8 RGB, 18 sub-mode, 19 W flag, 20 six-key
// flag, 21 Windows-key flag, 22 polling rate code, 25 custom light slot.
class SimKeyboard : public SimFirmware {
public:
    static constexpr uint8_t kMacroUnits = 0x20;  // 4096 bytes of macro memory
    static constexpr std::size_t kLightingEntries = 16;
    static constexpr std::size_t kEntryStride = 25;
    static constexpr std::size_t kRecordSize = 26;
    static constexpr std::size_t kCustomSlotCount = 8;
    static constexpr std::size_t kCustomSlotStride = 512;
    static constexpr std::size_t kCustomFrameSize = 64;
    static constexpr std::size_t kLiveFrameSize = kSimKeyboardLedCount * 3;  // 342

    SimKeyboard();

    uint8_t ActiveEntry() const;
    std::vector<uint8_t> LightingRecord(std::size_t entry) const;  // empty past the area
    std::vector<uint8_t> CustomSlot(std::size_t slot) const;       // its 64-byte frame

    // The key events of device key k alone.
    void PressKey(uint8_t deviceKey) { EmitEvent(static_cast<uint16_t>(0x0500 | deviceKey)); }
    void ReleaseKey(uint8_t deviceKey) { EmitEvent(static_cast<uint16_t>(0x0600 | deviceKey)); }
    // All a real key press (release) sends: the keyboard report of the key collection
    // (id 1, with every key still held) and then the key event. False past the last key.
    bool StrokeKey(uint8_t deviceKey, bool down);
    // A media key: the consumer report (id 3) with the usage, then the one of its release.
    void StrokeConsumerKey(uint16_t usage);
    // The device key whose default code sits in the host's key-table row; none when no key.
    static std::optional<uint8_t> DeviceKeyOfRow(uint8_t tableRow);
    // The user switches the lighting entry on the keyboard: the area's byte 0 changes and
    // the keyboard reports event 0x10mm. Entries past the area are ignored.
    void SwitchLightingEntry(uint8_t entry);
    // The same with a sub-value: byte 18 of the entry's record and event 0x11sm.
    void SwitchLightingEntry(uint8_t entry, uint8_t subMode);

protected:
    void DescribeConfig(std::ostream& out) const override;

private:
    std::vector<uint8_t> KeyReport() const;

    mutable std::mutex keysMutex_;
    std::bitset<kSimKeyboardKeyCount> held_;
};

}  // namespace q208::sim
