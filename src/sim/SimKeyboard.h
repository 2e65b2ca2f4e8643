#pragma once

#include <cstdint>
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

    // What the keyboard reports when the user presses or releases device key k.
    void PressKey(uint8_t deviceKey) { EmitEvent(static_cast<uint16_t>(0x0500 | deviceKey)); }
    void ReleaseKey(uint8_t deviceKey) { EmitEvent(static_cast<uint16_t>(0x0600 | deviceKey)); }
    // The user switches the lighting entry on the keyboard: the area's byte 0 changes and
    // the keyboard reports event 0x10mm. Entries past the area are ignored.
    void SwitchLightingEntry(uint8_t entry);
};

}  // namespace q208::sim
