#pragma once

#include <cstdint>
#include <vector>

namespace q208::sim {

// The 34-byte information block (command 0x03). Bytes 5, 6, 9 … 11 and 14 … 15 are what
// the host reads; the version, product and kind bytes are the emulator's own.
struct SimInfoBlock {
    static constexpr std::size_t kSize = 34;

    uint16_t firmwareVersion = 0x0103;  // bytes 0 … 1
    uint16_t productId = 0;             // bytes 2 … 3
    uint8_t hostKindCode = 0;           // byte 4
    uint8_t keyCount = 0;               // byte 5: keys (buttons) in the key map
    uint8_t macroUnits = 0;             // byte 6: macro memory in units of 128 bytes
    uint16_t sensorCode = 0;            // bytes 9 … 10 (mouse)
    uint8_t dpiStep = 0;                // byte 11 (mouse)
    uint16_t dpiMinimum = 0;            // bytes 14 … 15 (mouse)

    std::vector<uint8_t> ToBytes() const;
};

}  // namespace q208::sim
